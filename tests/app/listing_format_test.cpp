// Exact bytes of the three output forms, including paths that JSON must escape, and how
// every form fails: all or nothing.
#include "app/listing_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "app/explain/explain_format.h"
#include "app/shell_format.h"
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

// Every form appends all it writes or nothing: given a path that is not UTF-8 (or holds
// a NUL byte, for the shell), each either writes it after what `out` held, or fails with
// its error and leaves `out` exactly as it was. A later entry's failure writes no part
// of the earlier ones.
TEST(EveryForm, AppendsAllOrNothing) {
    const std::string bad = "/srv/bad\xff", key = "persistDir", nul(1, '\0');
    const LocationList list = {{"kaironDir", "/opt/k"}, {key, bad}};
    volocations::LocationTrace trace;
    trace.steps = {volocations::ProbeStep{volocations::Probe::productDir, bad}};
    const std::string notUtf8 =
        " is not valid UTF-8, which a JSON string cannot hold; the text listing, --shell and "
        "--explain carry any byte";
    const std::string shellNul =
        "the path of persistDir holds a NUL byte, which a shell variable cannot hold";
    struct Row {
        std::function<void(std::string&)> format;
        std::string shows;  // how the path shows in what it writes, or else its error
    } rows[] = {
        {[&](std::string& out) { formatTextListing(list, out); }, "persistDir=" + bad + "\n"},
        {[&](std::string& out) { formatJsonListing(list, out); },
         "the path of persistDir" + notUtf8},
        {[&](std::string& out) { formatQueryAnswer(bad, out); }, bad + "\n"},
        {[&](std::string& out) { formatShellListing(list, out); }, "persistDir='" + bad + "'\n"},
        {[&](std::string& out) {
             formatShellListing({list[0], {key, nul}}, out);
         },
         shellNul},
        {[&](std::string& out) { formatShellAssignment(key, nul, out); }, shellNul},
        {[&](std::string& out) { formatTextExplanation(trace, out); }, "/srv/bad\\xff  not found"},
        {[&](std::string& out) { formatJsonExplanation(trace, "{}\n", &key, &bad, out); },
         "the explanation's \"path\"" + notUtf8},
    };
    for (const Row& row : rows) {
        const std::size_t form = &row - rows;
        std::string alone, out = "BEFORE", error;
        try {
            row.format(alone);
        } catch (const std::runtime_error& failure) {
            error = failure.what();
        }
        try {
            row.format(out);
        } catch (const std::runtime_error& failure) {
            EXPECT_EQ(failure.what(), error) << form;
        }
        if (error.empty()) {
            EXPECT_NE(alone.find(row.shows), std::string::npos) << form << ": " << alone;
        } else {
            EXPECT_EQ(error, row.shows) << form;
        }
        EXPECT_EQ(out, "BEFORE" + alone) << form;  // on a failure, alone is empty
    }
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
