// The table as whole processes build it: the relocation probe runs with a relocation
// fixture on LD_LIBRARY_PATH (or none), answering from a VORELOC_ANSWERS file and
// logging to VORELOC_LOG. The table is built once per process, so each case needs one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "errors/error_constants.h"
#include "process_runner.h"
#include "std_dir_defaults.h"

namespace {

const std::string kProbe = VOSYSQ_RELOCATION_PROBE;
const std::string kAnswersDir = VORELOC_ANSWERS_DIR;
const std::string kNoSymbolDir = VORELOC_NOSYMBOL_DIR;

// The six getters in the probe's order, with the names they look up.
const std::pair<const char*, const char*> kGetters[] = {
    {"get_runstatedir", "runstatedir"},         {"get_sysconfdir", "sysconfdir"},
    {"get_sharedstatedir", "sharedstatedir"},   {"get_localstatedir", "localstatedir"},
    {"get_multiarchlibdir", "multiarchlibdir"}, {"get_bindir", "bindir"},
};

// What the probe must print: the table code, the current paths (defaults unless
// relocated) and the getters' results, or -52006 thrown by all of them.
std::string expected_probe_output(int32_t tableCode,
                                  const std::map<std::string, std::string>& relocated) {
    std::map<std::string, std::string> current;
    std::string out = "table " + std::to_string(tableCode) + " -\n";
    for (const ExpectedStdDir& dir : kExpectedStdDirs) {
        const auto answer = relocated.find(dir.name);
        current[dir.name] = answer != relocated.end() ? answer->second : dir.path;
        out += std::string("entry ") + dir.name + "=" + current[dir.name] + "\n";
    }
    for (int round = 0; round < 2; ++round) {
        for (const auto& [getter, name] : kGetters) {
            if (tableCode < 0) {
                out += std::string(getter) + " threw " + std::to_string(tableCode) + " what=\n";
            } else {
                out += std::string(getter) + "=" + current[name] + "\n";
            }
        }
    }
    return out;
}

// The log of one load, the questions about the first `asked` names, and one unload.
std::string expected_log(size_t asked) {
    std::string log = "load\n";
    for (size_t i = 0; i < asked; ++i) log += std::string("ask ") + kExpectedStdDirs[i].name + "\n";
    return log + "unload\n";
}

class RelocationProcessTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string stem = testing::TempDir() + "vosysq_" + std::to_string(getpid()) + "_" +
                                 testing::UnitTest::GetInstance()->current_test_info()->name();
        answersPath_ = stem + ".answers";
        logPath_ = stem + ".log";
    }
    void TearDown() override {
        std::remove(answersPath_.c_str());
        std::remove(logPath_.c_str());
    }

    // Runs the probe with `libraryDir` on LD_LIBRARY_PATH ("" for none), `answers` as the
    // answers file and `more` added to its environment; returns its output after checking
    // it exited cleanly.
    std::string run_probe(const std::string& libraryDir, const std::string& answers,
                          std::map<std::string, std::string> more = {}) {
        std::ofstream(answersPath_) << answers;
        std::remove(logPath_.c_str());
        more.insert({{"LD_LIBRARY_PATH", libraryDir},
                     {"VORELOC_ANSWERS", answersPath_},
                     {"VORELOC_LOG", logPath_}});
        const ProcessResult result = run_process(kProbe, more);
        EXPECT_EQ(result.exitStatus, 0) << result.output;
        return result.output;
    }

    std::string log() const {
        std::ifstream in(logPath_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string answersPath_;
    std::string logPath_;
};

TEST_F(RelocationProcessTest, WithoutTheLibraryEveryNameHasItsDefault) {
    EXPECT_EQ(run_probe("", "sysconfdir=/never/asked\n"), expected_probe_output(0, {}));
    EXPECT_EQ(log(), "") << "no relocation library may have been loaded";
}

TEST_F(RelocationProcessTest, TheTableIsBuiltAtItsFirstUseNotAtLoad) {
    // The probe prints the fixture's log as main finds it, having asked for nothing.
    EXPECT_EQ(
        run_probe(kAnswersDir, "sysconfdir=/opt/site/etc\n", {{"VOSYSQ_PROBE_LOG_AT_MAIN", "1"}}),
        "");
    EXPECT_EQ(log(), "") << "and nothing after main either";
}

TEST_F(RelocationProcessTest, AllZeroAnswersChangeNothing) {
    std::string answers;
    for (const ExpectedStdDir& dir : kExpectedStdDirs)
        answers += std::string(dir.name) + "=@zero\n";
    EXPECT_EQ(run_probe(kAnswersDir, answers), expected_probe_output(0, {}));
    EXPECT_EQ(log(), expected_log(19)) << "loaded once, every name asked once, closed";
}

TEST_F(RelocationProcessTest, OneRelocatedNameChangesOnlyItsGetter) {
    EXPECT_EQ(run_probe(kAnswersDir, "sysconfdir=/opt/site/etc\n"),
              expected_probe_output(0, {{"sysconfdir", "/opt/site/etc"}}));
    EXPECT_EQ(log(), expected_log(19));
}

TEST_F(RelocationProcessTest, EmptyAnswerGivesAnEmptyPathWithoutError) {
    EXPECT_EQ(run_probe(kAnswersDir, "runstatedir=@empty\n"),
              expected_probe_output(0, {{"runstatedir", ""}}));
}

TEST_F(RelocationProcessTest, LongestAnswerComesBackWhole) {
    const std::string longest = "/" + std::string(253, 'm');  // 254 characters and the NUL
    EXPECT_EQ(run_probe(kAnswersDir, "multiarchlibdir=" + longest + "\n"),
              expected_probe_output(0, {{"multiarchlibdir", longest}}));
}

TEST_F(RelocationProcessTest, UnterminatedAnswerFailsEveryGetterAndStopsTheQuestions) {
    // sysconfdir and bindir are answered before localstatedir breaks the build; their
    // getters fail all the same. A read past the 255-byte answer would trip the
    // sanitizers in the probe.
    const std::string output = run_probe(
        kAnswersDir, "bindir=/opt/bin\nsysconfdir=/opt/site/etc\nlocalstatedir=@unterminated\n");
    EXPECT_EQ(output,
              expected_probe_output(voapalerr_resourceNotFound,
                                    {{"bindir", "/opt/bin"}, {"sysconfdir", "/opt/site/etc"}}));
    EXPECT_EQ(log(), expected_log(15)) << "localstatedir is the 15th name";
}

TEST_F(RelocationProcessTest, NegativeAnswerForBindirKeepsEarlierAnswersAndAsksNoMore) {
    const std::string output =
        run_probe(kAnswersDir,
                  "prefixdir=/opt/prefix\nexecprefixdir=/opt/exec\nbindir=@negative\n"
                  "sysconfdir=/never/asked\n");
    EXPECT_EQ(output,
              expected_probe_output(voapalerr_resourceNotFound, {{"prefixdir", "/opt/prefix"},
                                                                 {"execprefixdir", "/opt/exec"}}));
    EXPECT_EQ(log(), expected_log(3));
}

TEST_F(RelocationProcessTest, LibraryWithoutTheEntryPointLeavesDefaultsAndIsClosed) {
    EXPECT_EQ(run_probe(kNoSymbolDir, "sysconfdir=/never/asked\n"), expected_probe_output(0, {}));
    EXPECT_EQ(log(), "load\nunload\n");
}

}  // namespace
