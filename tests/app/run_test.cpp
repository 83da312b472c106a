// The front end called in-process: command lines paired with the exact standard output,
// standard error and exit status they must give. Runs without a relocation library.
#include "app/run.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fd_capture.h"

namespace {

const char kHelp[] =
    "Print out various VO-Sync / VO-Kairon file and directory locations:\n"
    "  --help                produce help message\n"
    "  --json                output in JSON format\n"
    "  --location arg        install location directory or file path\n"
    "  --version             print version information\n"
    "  --explain             show how each location was worked out\n"
    "  --shell               output as shell assignments\n"
    "  --root arg            answer for the system image in this directory\n"
    "\n";

// The build passes the CMake project version to this test as to the tool.
const char kVersion[] = "vosyncloc " VOSYNCLOC_EXPECTED_VERSION "\n";

const char kTwice[] = "option '--location' cannot be specified more than once\n";
const char kShellAndJson[] = "option '--shell' cannot be used with option '--json'\n";

struct Outcome {
    std::string out;
    std::string err;
    int status;
};

Outcome runWith(const std::vector<const char*>& args, int outFd = -1) {
    std::vector<const char*> argv = {"vosyncloc"};
    argv.insert(argv.end(), args.begin(), args.end());
    FdCapture out;
    FdCapture err;
    int status = runVosyncloc(static_cast<int>(argv.size()), argv.data(),
                              outFd < 0 ? out.fd() : outFd, err.fd());
    return {out.text(), err.text(), status};
}

std::string describe(const std::vector<const char*>& args) {
    std::string line = "vosyncloc";
    for (const char* arg : args) line += std::string(" '") + arg + "'";
    return line;
}

struct CommandLineCase {
    std::vector<const char*> args;
    const char* out;
    const char* err;
    int status;
};

// Paths in these cases are the same in either installation layout, so the rows hold on
// any machine without a relocation library.
const CommandLineCase kCases[] = {
    // Help comes first and stops the run, whatever else parses.
    {{"--help"}, kHelp, "", 0},
    {{"--h"}, kHelp, "", 0},
    {{"--help", "--json"}, kHelp, "", 0},
    {{"--json", "--help", "runtimeDir"}, kHelp, "", 0},
    {{"--help", "--location", "noSuchKey"}, kHelp, "", 0},
    {{"--version", "--help"}, kHelp, "", 0},
    {{"--v", "--h"}, kHelp, "", 0},
    {{"--shell", "--help"}, kHelp, "", 0},
    // The version comes next and computes nothing either: no key is looked up.
    {{"--version"}, kVersion, "", 0},
    {{"--v"}, kVersion, "", 0},
    {{"--json", "--ver", "noSuchKey"}, kVersion, "", 0},
    {{"--location=daemonPidFile", "--version"}, kVersion, "", 0},
    // Both before the explanation, which fails on an unknown key as the query does.
    {{"--explain", "--help"}, kHelp, "", 0},
    {{"--e", "--v", "noSuchKey"}, kVersion, "", 0},
    {{"--explain", "noSuchKey"}, "", "invalid location noSuchKey\n", 1},
    {{"--explain=1"}, "", "option '--explain' does not take any arguments\n", 1},
    // A query: bare word, option with separate or attached value, unique prefixes.
    {{"daemonPidFile"}, "/var/run/votsmd.pid\n", "", 0},
    {{"--location", "votsmdLogFile"}, "/var/log/votsmd.log\n", "", 0},
    {{"--location=gpsMetaDataFile"}, "/var/lib/vo-kairon/position.json\n", "", 0},
    {{"--loc", "daemonPidFile"}, "/var/run/votsmd.pid\n", "", 0},
    {{"--l=daemonPidFile"}, "/var/run/votsmd.pid\n", "", 0},
    // A query wins over the JSON listing.
    {{"--json", "daemonPidFile"}, "/var/run/votsmd.pid\n", "", 0},
    {{"daemonPidFile", "--j"}, "/var/run/votsmd.pid\n", "", 0},
    // A query in the shell form; the form's conflict with --json is a command-line
    // error, raised while parsing and so before the help, in either order and prefixed.
    {{"--shell", "daemonPidFile"}, "daemonPidFile='/var/run/votsmd.pid'\n", "", 0},
    {{"--location=votsmdLogFile", "--s"}, "votsmdLogFile='/var/log/votsmd.log'\n", "", 0},
    {{"--shell", "noSuchKey"}, "", "invalid location noSuchKey\n", 1},
    {{"--shell", "--version"}, kVersion, "", 0},
    {{"--shell", "--json"}, "", kShellAndJson, 1},
    {{"--j", "--help", "--s", "daemonPidFile"}, "", kShellAndJson, 1},
    {{"--shell=1"}, "", "option '--shell' does not take any arguments\n", 1},
    // The option library's errors.
    {{"daemonPidFile", "votsmdLogFile"}, "", kTwice, 1},
    {{"daemonPidFile", "--location", "votsmdLogFile"}, "", kTwice, 1},
    {{"--location=a", "--location=a"}, "", kTwice, 1},
    {{"--help", "a", "b"}, "", kTwice, 1},
    {{"--foo"}, "", "unrecognised option '--foo'\n", 1},
    {{"-h"}, "", "unrecognised option '-h'\n", 1},
    {{"--location"}, "", "the required argument for option '--location' is missing\n", 1},
    {{"--json=1"}, "", "option '--json' does not take any arguments\n", 1},
    {{"--version=1"}, "", "option '--version' does not take any arguments\n", 1},
    {{"--version", "a", "b"}, "", kTwice, 1},
    // Keys match exactly; the two unlisted members are no keys.
    {{"RuntimeDir"}, "", "invalid location RuntimeDir\n", 1},
    {{"runtime"}, "", "invalid location runtime\n", 1},
    {{"configDir"}, "", "invalid location configDir\n", 1},
    {{"--json", "syncConfigFile"}, "", "invalid location syncConfigFile\n", 1},
    {{""}, "", "invalid location \n", 1},
    // An error is one line a person can read, whatever the command line held; printable
    // text of any script stays as it is.
    {{"a\nb\x1b[2J"}, "", "invalid location a\\nb\\x1b[2J\n", 1},
    {{"caf\xc3\xa9\\\xe2\x80\xae\xff"}, "", "invalid location caf\xc3\xa9\\\\u202e\\xff\n", 1},
    {{"--bogus\x9b"}, "", "unrecognised option '--bogus\\x9b'\n", 1},
    {{"--location="},
     "",
     "the argument for option '--location' should follow immediately after the equal sign\n",
     1},
};

TEST(RunVosyncloc, CommandLineTable) {
    for (const CommandLineCase& c : kCases) {
        Outcome got = runWith(c.args);
        EXPECT_EQ(got.out, c.out) << describe(c.args);
        EXPECT_EQ(got.err, c.err) << describe(c.args);
        EXPECT_EQ(got.status, c.status) << describe(c.args);
    }
}

TEST(RunVosyncloc, ListingsHaveFifteenAndSeventeenLines) {
    Outcome text = runWith({});
    Outcome json = runWith({"--json"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 15) << text.out;
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 17) << json.out;
    EXPECT_EQ(json.out.front(), '{');
    EXPECT_EQ(text.err + json.err, "");
}

// Every form of output fails the run when it cannot be written.
TEST(RunVosyncloc, FullOutputIsAFailure) {
    int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    for (const auto& args : std::vector<std::vector<const char*>>{
             {}, {"--json"}, {"--shell"}, {"daemonPidFile"}, {"--help"}, {"--version"}}) {
        Outcome got = runWith(args, full);
        EXPECT_EQ(got.err, "vosyncloc: write error: No space left on device\n") << describe(args);
        EXPECT_EQ(got.status, 1) << describe(args);
    }
    close(full);
}

TEST(RunVosyncloc, ClosedOutputIsAFailure) {
    const int closed = 1000;  // far above anything the test process opens
    ASSERT_EQ(fcntl(closed, F_GETFD), -1);
    Outcome got = runWith({"--help"}, closed);
    EXPECT_EQ(got.err, "vosyncloc: write error: Bad file descriptor\n");
    EXPECT_EQ(got.status, 1);
}

TEST(RunVosyncloc, ReadOnlyOutputIsAFailure) {
    int readOnly = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(readOnly, 0);
    Outcome got = runWith({"daemonPidFile"}, readOnly);
    EXPECT_EQ(got.err, "vosyncloc: write error: Bad file descriptor\n");
    EXPECT_EQ(got.status, 1);
    close(readOnly);
}

}  // namespace
