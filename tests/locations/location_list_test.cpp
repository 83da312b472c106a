// The key table: its order, the member behind each key, and exact key matching.
// Runs without a relocation library, so the standard directories are the defaults.
#include "locations/location_list.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// The forced standard layout probes nothing, so its listing is the same on any machine.
const LocationList kForcedStandardList = {
    {"kaironDir", "/usr/lib/x86_64-linux-gnu/vo-kairon"},
    {"kaironLibraryDir", "/usr/lib/x86_64-linux-gnu"},
    {"runtimeDir", "/var/run/vo-kairon"},
    {"persistDir", "/var/lib/vo-kairon"},
    {"configBinary", "/usr/lib/x86_64-linux-gnu/vo-kairon/configgen"},
    {"daemonBinary", "/usr/bin/votsmd"},
    {"daemonPidFile", "/var/run/votsmd.pid"},
    {"persistentTsmJson", "/var/lib/vo-kairon/tsm.json"},
    {"runtimeTsmJson", "/var/run/vo-kairon/runtime_tsm.json"},
    {"timeReferenceDir", "/usr/lib/x86_64-linux-gnu/vo-kairon/timereferences"},
    {"timeKeeperDir", "/usr/lib/x86_64-linux-gnu/vo-kairon/timekeepers"},
    {"servoDir", "/usr/lib/x86_64-linux-gnu/vo-kairon/servos"},
    {"votsmdLogFile", "/var/log/votsmd.log"},
    {"vokaironcli", "/usr/bin/vokaironcli"},
    {"gpsMetaDataFile", "/var/lib/vo-kairon/position.json"},
};

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
    EXPECT_EQ(buildLocationList(locations), kForcedStandardList);
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
