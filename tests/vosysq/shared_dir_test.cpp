// getVOSharedDir against a real pointer file. Each case runs in a child process with a
// private mount namespace (within a user namespace of its own when not root) whose /etc
// is a fresh tmpfs, so the machine's own /etc is never written. Skipped where those
// namespaces are not available.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "private_mounts.h"
#include "vosysq/stdpath_util.h"

namespace {

// The child's exit statuses when it has no namespace (the case is skipped), and when
// its private /etc cannot be laid out (a failure).
constexpr int kChildCannotIsolate = 77;
constexpr int kChildCannotLayOut = 4;

// What a pointer-file case puts under the private /etc. A plain pointer rather than an
// optional string: g++ 12 at -O2 warns (falsely) that a constant table of optionals
// may be read uninitialised.
struct PointerFile {
    const char* content;       // null: no pointer file at all
    bool asDirectory = false;  // a directory where the file should be
};

bool write_all(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// In the child, inside its private mount namespace: a private /etc holding the case's
// pointer file. False when it cannot be laid out.
bool lay_out_etc(const PointerFile& pointer) {
    if (mount("vosysq-test", "/etc", "tmpfs", 0, "mode=0755") != 0) return false;
    if (mkdir("/etc/morvane", 0755) != 0 || mkdir("/etc/morvane/share", 0755) != 0) return false;
    const char* path = "/etc/morvane/share/share.dir";
    if (pointer.asDirectory) return mkdir(path, 0755) == 0;
    if (pointer.content == nullptr) return true;
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool written = write_all(fd, pointer.content);
    close(fd);
    return written;
}

// Runs getVOSharedDir in the isolated child and stores what it printed in *result; no
// value when the namespaces could not be had. A failed pipe or fork is a fatal failure.
void shared_dir_with(const PointerFile& pointer, std::optional<std::string>* result) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0) << "pipe: " << std::strerror(errno);
    const pid_t child = fork();
    ASSERT_GE(child, 0) << "fork: " << std::strerror(errno);
    if (child == 0) {
        close(ends[0]);
        if (!enterPrivateMounts().empty()) _exit(kChildCannotIsolate);
        if (!lay_out_etc(pointer)) _exit(kChildCannotLayOut);
        try {
            _exit(write_all(ends[1], vosysq::getVOSharedDir()) ? 0 : 2);
        } catch (...) {
            _exit(3);
        }
    }
    close(ends[1]);
    std::string printed;
    char chunk[512];
    ssize_t n;
    while ((n = read(ends[0], chunk, sizeof chunk)) > 0) printed.append(chunk, n);
    close(ends[0]);
    int wstatus = 0;
    ASSERT_EQ(waitpid(child, &wstatus, 0), child) << "waitpid: " << std::strerror(errno);
    result->reset();
    if (WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == kChildCannotIsolate) return;
    EXPECT_TRUE(WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 0) << "child status " << wstatus;
    *result = printed;
}

struct SharedDirCase {
    const char* what;
    PointerFile pointer;
    std::string expected;
};

TEST(SharedDirTest, PointerFileContentIsTrimmedOrTheDefaultTaken) {
    const SharedDirCase cases[] = {
        {"path and newline", {"/opt/morvane/share\n"}, "/opt/morvane/share"},
        {"slashes and blanks", {" \t/srv/share// \r\n"}, "/srv/share"},
        {"only slashes and blanks", {"/// \n"}, ""},
        {"empty file", {""}, ""},
        {"two lines", {"/first\n/second\n"}, "/first\n/second"},
        {"no pointer file", {nullptr}, "/usr/local/morvane/share"},
        {"a directory instead", {nullptr, true}, "/usr/local/morvane/share"},
    };
    for (const SharedDirCase& sharedCase : cases) {
        std::optional<std::string> result;
        ASSERT_NO_FATAL_FAILURE(shared_dir_with(sharedCase.pointer, &result)) << sharedCase.what;
        if (!result) GTEST_SKIP() << "mount namespaces are not available here";
        EXPECT_EQ(*result, sharedCase.expected) << sharedCase.what;
    }
}

}  // namespace
