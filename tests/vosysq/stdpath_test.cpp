// The standard directory table in-process: lookups and relocation answers on local
// tables, and the process-wide table as this test process built it (no relocation
// library is reachable here).
#include "vosysq/stdpath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "errors/error_constants.h"
#include "errors/exceptions.h"
#include "std_dir_defaults.h"

namespace {

using vohtl::OwnedText;
using vosysq::StdDirTable;

std::string text_of(const OwnedText& text) {
    return std::string(text.c_str(), text.size());
}

OwnedText owned(const char* text) {
    OwnedText result;
    Status status;
    result.assign(text, &status);
    return result;
}

// What the test relocation entry point answers, and whom it was asked about.
struct RelocationScript {
    int32_t result = 0;
    std::string answer;    // copied into the buffer with its NUL when result > 0
    bool fillAll = false;  // write all 255 bytes without any NUL instead
    std::vector<std::string> asked;
};
RelocationScript script;

int32_t scripted_relocation(const char* name, char* answer, int32_t size) {
    script.asked.push_back(name);
    if (script.result > 0) {
        if (script.fillAll) {
            std::memset(answer, 'u', static_cast<size_t>(size));
        } else {
            std::memcpy(answer, script.answer.c_str(), script.answer.size() + 1);
        }
    }
    return script.result;
}

class StdDirTableTest : public testing::Test {
protected:
    void SetUp() override {
        script = RelocationScript();
        table.getRelocatedDir = scripted_relocation;
        for (const char* name : {"bindir", "sysconfdir", "runstatedir"}) {
            vosysq::add_std_dir(table, name, ("/default/" + std::string(name)).c_str(), &status);
        }
        ASSERT_EQ(status.code, 0);
    }

    std::string lookup(const char* name) {
        OwnedText out = owned("untouched");
        vosysq::lookup_std_dir(table, owned(name), out, &status);
        return text_of(out);
    }

    StdDirTable table;
    Status status;
};

TEST_F(StdDirTableTest, AddAppendsInOrderAndLookupTakesTheFirstOfAName) {
    vosysq::add_std_dir(table, "bindir", "/second/bindir", &status);
    ASSERT_EQ(table.entries.size(), 4u);
    EXPECT_EQ(text_of(table.entries[3].name), "bindir");
    EXPECT_EQ(lookup("bindir"), "/default/bindir");
    const vosysq::StdDirEntry& entry = table.entries[1];
    EXPECT_EQ(text_of(entry.defaultPath), "/default/sysconfdir");
    EXPECT_EQ(text_of(entry.currentPath), "/default/sysconfdir");
    EXPECT_EQ(entry.status.code, 0);
    EXPECT_EQ(entry.status.text, nullptr);
}

TEST_F(StdDirTableTest, LookupComparesNamesExactly) {
    for (const char* name : {"BINDIR", "Bindir", "bindir/", "bindi", "bindirx", ""}) {
        Status fresh;
        OwnedText out = owned("untouched");
        vosysq::lookup_std_dir(table, owned(name), out, &fresh);
        EXPECT_EQ(fresh.code, voapalerr_osFault) << '"' << name << '"';
        EXPECT_EQ(fresh.text, nullptr) << "an unknown name is recorded by code only";
        EXPECT_EQ(text_of(out), "untouched");
    }
}

TEST_F(StdDirTableTest, LookupUnderAnErrorLeavesTheOutputAlone) {
    status.setCode(voapalerr_resourceNotFound);
    EXPECT_EQ(lookup("bindir"), "untouched");
    EXPECT_EQ(status.code, voapalerr_resourceNotFound);
}

// One relocation answer for "sysconfdir" and what the table makes of it.
struct AnswerCase {
    const char* what;
    int32_t result;
    std::string answer;
    bool fillAll;
    int32_t expectedCode;
    std::string expectedPath;
};

TEST(StdDirRelocationTest, AnswersAreTakenByTheirSign) {
    const std::string longest(254, 'p');  // the longest text that fits with its NUL
    const AnswerCase cases[] = {
        {"a path", 1, "/opt/etc", false, 0, "/opt/etc"},
        {"any positive result", 42, "/srv/etc", false, 0, "/srv/etc"},
        {"zero", 0, "/ignored", false, 0, "/etc"},
        {"an empty text", 1, "", false, 0, ""},
        {"254 characters", 1, longest, false, 0, longest},
        {"no NUL within the buffer", 1, "", true, voapalerr_resourceNotFound, "/etc"},
        {"a negative result", -1, "/ignored", false, voapalerr_resourceNotFound, "/etc"},
    };
    for (const AnswerCase& answerCase : cases) {
        StdDirTable table;
        Status status;
        table.getRelocatedDir = scripted_relocation;
        vosysq::add_std_dir(table, "bindir", "/usr/bin", &status);
        vosysq::add_std_dir(table, "sysconfdir", "/etc", &status);
        script = RelocationScript();
        script.result = answerCase.result;
        script.answer = answerCase.answer;
        script.fillAll = answerCase.fillAll;

        vosysq::relocate_std_dir(table, "sysconfdir", &status);
        EXPECT_EQ(status.code, answerCase.expectedCode) << answerCase.what;
        EXPECT_EQ(status.text, nullptr) << answerCase.what << ": code only";
        ASSERT_EQ(table.entries.size(), 2u) << answerCase.what;
        EXPECT_EQ(text_of(table.entries[1].currentPath), answerCase.expectedPath)
            << answerCase.what;
        EXPECT_EQ(text_of(table.entries[1].defaultPath), "/etc") << answerCase.what;

        Status lookupStatus;  // what a getter would see, were the table status fine
        OwnedText out = owned("untouched");
        vosysq::lookup_std_dir(table, owned("sysconfdir"), out, &lookupStatus);
        EXPECT_EQ(text_of(out), answerCase.expectedPath) << answerCase.what;
        EXPECT_EQ(lookupStatus.code, 0) << answerCase.what;
    }
}

TEST_F(StdDirTableTest, AnswerForAnUnknownNameAppendsAnEntry) {
    script.result = 1;
    script.answer = "/opt/state";
    vosysq::relocate_std_dir(table, "statedir", &status);
    ASSERT_EQ(table.entries.size(), 4u);
    EXPECT_EQ(text_of(table.entries[3].name), "statedir");
    EXPECT_EQ(text_of(table.entries[3].defaultPath), "/opt/state");
    EXPECT_EQ(text_of(table.entries[3].currentPath), "/opt/state");
}

TEST_F(StdDirTableTest, NothingIsAskedOnceTheStatusHoldsAnError) {
    script.result = -1;
    vosysq::relocate_std_dir(table, "bindir", &status);
    vosysq::relocate_std_dir(table, "sysconfdir", &status);
    EXPECT_EQ(script.asked, std::vector<std::string>{"bindir"});
    EXPECT_EQ(status.code, voapalerr_resourceNotFound);
}

TEST_F(StdDirTableTest, AWarningDoesNotStopTheQuestion) {
    status.setCode(9);
    script.result = 1;
    script.answer = "/warned";
    vosysq::relocate_std_dir(table, "runstatedir", &status);
    EXPECT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(status.code, 9);
    EXPECT_EQ(text_of(table.entries[2].currentPath), "/warned");
}

TEST_F(StdDirTableTest, AddUnderAnErrorOrWithNullTextsAddsNothing) {
    vosysq::add_std_dir(table, nullptr, "/x", &status);
    vosysq::add_std_dir(table, "x", nullptr, &status);
    status.setCode(voapalerr_osFault);
    vosysq::add_std_dir(table, "x", "/x", &status);
    EXPECT_EQ(table.entries.size(), 3u);
}

TEST(ProcessStdDirTableTest, HoldsTheNineteenDefaultsInOrder) {
    Status status;
    const StdDirTable& table = vosysq::get_std_dir_table(&status);
    EXPECT_EQ(&table, &vosysq::get_std_dir_table(&status)) << "one table per process";
    EXPECT_EQ(table.getRelocatedDir, nullptr) << "the entry point dies with the library";
    ASSERT_EQ(table.entries.size(), std::size(kExpectedStdDirs));
    for (size_t i = 0; i < table.entries.size(); ++i) {
        EXPECT_EQ(text_of(table.entries[i].name), kExpectedStdDirs[i].name);
        EXPECT_EQ(text_of(table.entries[i].defaultPath), kExpectedStdDirs[i].path);
        EXPECT_EQ(text_of(table.entries[i].currentPath), kExpectedStdDirs[i].path);
    }
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.text, nullptr) << "a successful table copies no text";
}

TEST(ProcessStdDirTableTest, ASuccessfulTableLeavesTheCallersCodeAlone) {
    Status warned;
    warned.setCode(5);
    vosysq::get_std_dir_table(&warned);
    EXPECT_EQ(warned.code, 5);
    Status failed;
    failed.setCode(voapalerr_osFault);
    const StdDirTable& table = vosysq::get_std_dir_table(&failed);
    EXPECT_EQ(failed.code, voapalerr_osFault);
    // The build kept the loader's failure (no relocation library here), its message
    // decoded on demand.
    EXPECT_FALSE(table.relocation.libraryLoaded);
    vohtl::OwnedText message;
    vosysq::loader_message(table.relocation, message);
    EXPECT_NE(text_of(message).find("libvorelocations.so.0"), std::string::npos);
    EXPECT_EQ(table.relocation.failure, vosysq::RelocationFailure::none);
}

TEST(StdDirGetterTest, ReturnTheDefaultsWithoutRelocation) {
    EXPECT_EQ(vosysq::get_runstatedir(), "/var/run");
    EXPECT_EQ(vosysq::get_sysconfdir(), "/etc");
    EXPECT_EQ(vosysq::get_sharedstatedir(), "/var/lib");
    EXPECT_EQ(vosysq::get_localstatedir(), "/var");
    EXPECT_EQ(vosysq::get_multiarchlibdir(), "/usr/lib/x86_64-linux-gnu");
    EXPECT_EQ(vosysq::get_bindir(), "/usr/bin");
    // The defaults an image is answered with are the table's, unrelocated.
    for (const char* name : {"runstatedir", "sysconfdir", "sharedstatedir", "localstatedir",
                             "multiarchlibdir", "bindir"}) {
        EXPECT_EQ(vosysq::get_std_dir(name, nullptr), vosysq::std_dir_default(name)) << name;
    }
    EXPECT_EQ(vosysq::std_dir_default("nosuchdir"), nullptr);
}

}  // namespace
