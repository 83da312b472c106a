// Exact bytes of the three output forms, including paths that JSON must escape.
#include "app/listing_format.h"

#include <gtest/gtest.h>

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

std::string escaped(const std::string& text) {
    std::string out;
    appendJsonEscaped(text, out);
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

// Slashes and bytes at and above 0x80 stay as they are; only the bytes JSON forbids in
// a string, and 0x7F, are written as escapes.
TEST(JsonEscape, EscapesOnlyWhatJsonNeeds) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"/usr/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu"},
        {"\"", "\\\""},
        {"\\", "\\\\"},
        {"\b\f\n\r\t", "\\b\\f\\n\\r\\t"},
        {"\x01\x1f\x7f", "\\u0001\\u001f\\u007f"},
        {"caf\xc3\xa9 \xff", "caf\xc3\xa9 \xff"},
    };
    for (const Case& c : cases) EXPECT_EQ(escaped(c.in), c.out) << "input: " << c.in;
}

// The shared directory comes from a file and may hold a NUL byte: it must not cut the
// path short in the JSON text.
TEST(JsonEscape, WritesNulBytesAsEscapes) {
    EXPECT_EQ(escaped(std::string("a\0b", 3)), "a\\u0000b");
    EXPECT_EQ(escaped(std::string("\0", 1)), "\\u0000");
    EXPECT_EQ(escaped(std::string("\0\0\"", 3)), "\\u0000\\u0000\\\"");
    EXPECT_EQ(escaped(std::string("x\0", 2)), "x\\u0000");
}

TEST(QueryAnswer, IsThePathAndOneNewline) {
    std::string out;
    formatQueryAnswer("/var/run/votsmd.pid", out);
    EXPECT_EQ(out, "/var/run/votsmd.pid\n");
}

}  // namespace
