// The key table: its order, the member behind each key, and exact key matching.
// Runs without a relocation library, so the standard directories are the defaults.
#include "app/location_list.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/listing_format.h"

namespace {

// The forced standard layout probes nothing, so its listing is the same on any machine.
const char kForcedStandardListing[] =
    "kaironDir=/usr/lib/x86_64-linux-gnu/vo-kairon\n"
    "kaironLibraryDir=/usr/lib/x86_64-linux-gnu\n"
    "runtimeDir=/var/run/vo-kairon\n"
    "persistDir=/var/lib/vo-kairon\n"
    "configBinary=/usr/lib/x86_64-linux-gnu/vo-kairon/configgen\n"
    "daemonBinary=/usr/bin/votsmd\n"
    "daemonPidFile=/var/run/votsmd.pid\n"
    "persistentTsmJson=/var/lib/vo-kairon/tsm.json\n"
    "runtimeTsmJson=/var/run/vo-kairon/runtime_tsm.json\n"
    "timeReferenceDir=/usr/lib/x86_64-linux-gnu/vo-kairon/timereferences\n"
    "timeKeeperDir=/usr/lib/x86_64-linux-gnu/vo-kairon/timekeepers\n"
    "servoDir=/usr/lib/x86_64-linux-gnu/vo-kairon/servos\n"
    "votsmdLogFile=/var/log/votsmd.log\n"
    "vokaironcli=/usr/bin/vokaironcli\n"
    "gpsMetaDataFile=/var/lib/vo-kairon/position.json\n";

TEST(LocationKeys, FifteenKeysInListingOrder) {
    const std::vector<std::string> expected = {
        "kaironDir",      "kaironLibraryDir", "runtimeDir",     "persistDir",
        "configBinary",   "daemonBinary",     "daemonPidFile",  "persistentTsmJson",
        "runtimeTsmJson", "timeReferenceDir", "timeKeeperDir",  "servoDir",
        "votsmdLogFile",  "vokaironcli",      "gpsMetaDataFile"};
    EXPECT_EQ(locationKeys(), expected);
}

TEST(LocationList, EachKeyReadsItsOwnMember) {
    SyncLocations locations(true);
    std::string text;
    formatTextListing(buildLocationList(locations), text);
    EXPECT_EQ(text, kForcedStandardListing);
}

TEST(LocationList, JsonListingIsSeventeenLines) {
    SyncLocations locations(true);
    std::string json;
    formatJsonListing(buildLocationList(locations), json);
    EXPECT_EQ(json,
              "{\n"
              "\"kaironDir\":\"/usr/lib/x86_64-linux-gnu/vo-kairon\",\n"
              "\"kaironLibraryDir\":\"/usr/lib/x86_64-linux-gnu\",\n"
              "\"runtimeDir\":\"/var/run/vo-kairon\",\n"
              "\"persistDir\":\"/var/lib/vo-kairon\",\n"
              "\"configBinary\":\"/usr/lib/x86_64-linux-gnu/vo-kairon/configgen\",\n"
              "\"daemonBinary\":\"/usr/bin/votsmd\",\n"
              "\"daemonPidFile\":\"/var/run/votsmd.pid\",\n"
              "\"persistentTsmJson\":\"/var/lib/vo-kairon/tsm.json\",\n"
              "\"runtimeTsmJson\":\"/var/run/vo-kairon/runtime_tsm.json\",\n"
              "\"timeReferenceDir\":\"/usr/lib/x86_64-linux-gnu/vo-kairon/timereferences\",\n"
              "\"timeKeeperDir\":\"/usr/lib/x86_64-linux-gnu/vo-kairon/timekeepers\",\n"
              "\"servoDir\":\"/usr/lib/x86_64-linux-gnu/vo-kairon/servos\",\n"
              "\"votsmdLogFile\":\"/var/log/votsmd.log\",\n"
              "\"vokaironcli\":\"/usr/bin/vokaironcli\",\n"
              "\"gpsMetaDataFile\":\"/var/lib/vo-kairon/position.json\"\n"
              "}\n");
}

TEST(FindLocation, EveryKeyFindsItsListedPath) {
    SyncLocations locations(true);
    const LocationList list = buildLocationList(locations);
    for (const auto& entry : list) EXPECT_EQ(findLocation(list, entry.first), entry.second);
}

TEST(FindLocation, FirstMatchWins) {
    const LocationList list = {{"k", "/first"}, {"k", "/second"}};
    EXPECT_EQ(findLocation(list, "k"), "/first");
}

// Case, prefixes, extensions and the two unlisted members are all misses.
TEST(FindLocation, OnlyAnExactKeyMatches) {
    SyncLocations locations(true);
    const LocationList list = buildLocationList(locations);
    const char* misses[] = {"RuntimeDir",  "runtime",   "runtimeDirs",    "runtimedir",    "",
                            " runtimeDir", "configDir", "syncConfigFile", "standardLayout"};
    for (const char* query : misses) {
        try {
            findLocation(list, query);
            ADD_FAILURE() << "found a location for '" << query << "'";
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()), std::string("invalid location ") + query);
        }
    }
}

}  // namespace
