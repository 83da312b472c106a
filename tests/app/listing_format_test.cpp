// Exact bytes of the three output forms, including paths that JSON must escape.
#include "app/listing_format.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "locations/sync_locations.h"

namespace {

const LocationList kTwoEntries = {{"kaironDir", "/opt/k"}, {"runtimeDir", "/run/k"}};

std::string textOf(const LocationList& list) {
    std::string out;
    formatTextListing(list, out);
    return out;
}

std::string jsonOf(const LocationList& list) {
    std::string out;
    formatJsonListing(list, out);
    return out;
}

TEST(TextListing, OneKeyEqualsPathLinePerEntry) {
    EXPECT_EQ(textOf(kTwoEntries), "kaironDir=/opt/k\nruntimeDir=/run/k\n");
}

TEST(TextListing, AppendsToWhatIsThere) {
    std::string out = "before\n";
    formatTextListing({{"k", "p"}}, out);
    EXPECT_EQ(out, "before\nk=p\n");
}

TEST(TextListing, WritesPathBytesUnchanged) {
    EXPECT_EQ(textOf({{"k", "a\"b\\c\nd"}}), "k=a\"b\\c\nd\n");
}

TEST(JsonListing, OneMemberPerLineWithoutSpaces) {
    EXPECT_EQ(jsonOf(kTwoEntries),
              "{\n"
              "\"kaironDir\":\"/opt/k\",\n"
              "\"runtimeDir\":\"/run/k\"\n"
              "}\n");
}

TEST(JsonListing, SingleEntryHasNoComma) {
    EXPECT_EQ(jsonOf({{"k", "/p"}}), "{\n\"k\":\"/p\"\n}\n");
}

TEST(JsonListing, EscapesQuoteBackslashAndControlBytesInPaths) {
    EXPECT_EQ(jsonOf({{"k", "/a\"b\\c\nd\te"}}), "{\n\"k\":\"/a\\\"b\\\\c\\nd\\te\"\n}\n");
    // A NUL byte does not cut the path short; NEL is escaped for YAML readers.
    EXPECT_EQ(jsonOf({{"k", std::string("/a\0\xc2\x85", 5)}}),
              "{\n\"k\":\"/a\\u0000\\u0085\"\n}\n");
}

// A path JSON cannot carry fails the listing by its key, before anything is written.
TEST(JsonListing, RefusesAPathThatIsNotUtf8) {
    std::string out = "before";
    try {
        formatJsonListing({{"kaironDir", "/opt/k"}, {"persistDir", "/srv/bad\xff"}}, out);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(),
                     "the path of persistDir is not valid UTF-8, which a JSON string cannot "
                     "hold; the text listing, --shell and --explain carry any byte");
    }
    EXPECT_EQ(out, "before");
}

TEST(JsonListing, EscapesKeysToo) {
    EXPECT_EQ(jsonOf({{"k\"ey", "/p"}}), "{\n\"k\\\"ey\":\"/p\"\n}\n");
}

// Every key reads its own member into the JSON listing (run without a relocation
// library, and the forced standard layout probes nothing).
TEST(JsonListing, ForcedStandardLayoutIsSeventeenLines) {
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

TEST(QueryAnswer, IsThePathAndOneNewline) {
    std::string out;
    formatQueryAnswer("/var/run/votsmd.pid", out);
    EXPECT_EQ(out, "/var/run/votsmd.pid\n");
}

}  // namespace
