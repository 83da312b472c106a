// The shell assignments: exact bytes, and `eval "$(...)"` of them in dash, bash and zsh
// giving back every path byte for byte.
#include "app/shell_format.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "fd_capture.h"

extern char** environ;

namespace {

std::string everyByteButNul() {
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte) bytes += static_cast<char>(byte);
    return bytes;
}

struct Row {
    std::string path;
    std::string quoted;  // empty: checked by the eval round trip only
};

const Row kRows[] = {
    {"/var/run/vo-kairon", "'/var/run/vo-kairon'"},
    {"", "''"},
    {"/srv/a b", "'/srv/a b'"},
    {"/srv/it's", "'/srv/it'\"'\"'s'"},
    {"''", "''\"'\"''\"'\"''"},
    {"/\"$HOME`id`\\n", "'/\"$HOME`id`\\n'"},
    {"/a\nb\tc\n", "'/a\nb\tc\n'"},
    {"/\x01\x7f", "'/\x01\x7f'"},
    {"/caf\xc3\xa9/\xe6\x99\x82", "'/caf\xc3\xa9/\xe6\x99\x82'"},
    {everyByteButNul(), ""},
};

LocationList tableListing() {
    LocationList list;
    for (const Row& row : kRows) list.emplace_back("k" + std::to_string(list.size()), row.path);
    return list;
}

// Single quotes around every path, an embedded ' as '"'"', every other byte as it is.
TEST(ShellFormat, QuotesEachPathAndListsInOrder) {
    for (const Row& row : kRows) {
        if (row.quoted.empty()) continue;
        std::string out = "before\n";
        formatShellAssignment("k", row.path, out);
        EXPECT_EQ(out, "before\nk=" + row.quoted + "\n");
    }
    std::string listing;
    formatShellListing({{"kaironDir", "/a"}, {"runtimeDir", "/b'"}}, listing);
    EXPECT_EQ(listing, "kaironDir='/a'\nruntimeDir='/b'\"'\"''\n");
}

// Runs `shell` -c `script` with `input` on standard input; returns its standard output.
std::string runShell(const char* shell, const std::string& script, const std::string& input) {
    FdCapture in, out;
    EXPECT_EQ(write(in.fd(), input.data(), input.size()), static_cast<ssize_t>(input.size()));
    lseek(in.fd(), 0, SEEK_SET);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fd(), 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd(), 1);
    const char* argv[] = {shell, "-c", script.c_str(), nullptr};
    pid_t pid;
    int spawned = posix_spawnp(&pid, shell, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0) << shell << " is not installed";
    int status = 0;
    if (spawned == 0) waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shell << ": " << status;
    return out.text();
}

// As scripts use it, eval "$(vosyncloc --shell)": then each variable is exactly its path.
TEST(ShellFormat, EvalSetsEveryVariableToItsPathInDashBashAndZsh) {
    const LocationList list = tableListing();
    std::string listing, script = "eval \"$(cat)\" && printf '%s\\0'", expected;
    formatShellListing(list, listing);
    for (const auto& [key, path] : list) {
        script += " \"$" + key + "\"";
        expected += path + '\0';
    }
    for (const char* shell : {"dash", "bash", "zsh"}) {
        EXPECT_EQ(runShell(shell, script, listing), expected) << shell;
    }
}

}  // namespace
