#include "app/output.h"

#include <fcntl.h>
#include <poll.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace {

[[noreturn]] void throwWriteError(int error) {
    throw std::system_error(error, std::generic_category(), "vosyncloc: write error");
}

void waitUntilWritable(int fd) {
    pollfd request{fd, POLLOUT, 0};
    while (poll(&request, 1, -1) < 0) {
        if (errno != EINTR) throwWriteError(errno);
    }
}

// Opens /dev/null with `flags` when it is the null device, and only then: a FIFO put
// there would block a plain open for ever, and any other file would let writes through.
// The open never blocks. Returns -1 otherwise.
int openNullDevice(int flags) noexcept {
    const int fd = open("/dev/null", flags | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) == 1 &&
        minor(info.st_rdev) == 3) {
        return fd;
    }
    close(fd);
    return -1;
}

// A descriptor on which every write fails: the root directory, which always exists.
int openUnwritable() noexcept {
    return open("/", O_RDONLY | O_DIRECTORY);
}

// What descriptor 1 holds while it is not the caller's: /dev/null, write-only, which
// discards writes, or, without a null device, the root directory, which fails them.
int openStandIn() noexcept {
    const int standIn = openNullDevice(O_WRONLY);
    return standIn >= 0 ? standIn : openUnwritable();
}

// Puts `replacement` on `fd` and closes it; true when `fd` holds it afterwards.
bool placeOn(int fd, int replacement) noexcept {
    if (replacement < 0) return false;
    if (replacement == fd) return true;
    const bool placed = dup2(replacement, fd) == fd;
    close(replacement);
    return placed;
}

}  // namespace

void writeAll(int fd, const std::string& text) {
    const char* next = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = write(fd, next, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                waitUntilWritable(fd);
                continue;
            }
            throwWriteError(errno);
        }
        if (written == 0) throwWriteError(EIO);  // no progress and no reason: give up
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}

bool occupyIfClosed(int fd) noexcept {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) return true;
    int placeholder = openNullDevice(O_RDONLY);
    if (placeholder < 0) placeholder = openUnwritable();
    return placeOn(fd, placeholder);
}

HeldOutput holdOutputAside() noexcept {
    HeldOutput held;
    // The stand-in is opened first: when only one descriptor is left, it takes it, and
    // descriptor 1 is given up rather than kept for foreign code to write to.
    int standIn = openStandIn();
    const int copy = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    struct stat info {};
    if (copy < 0) {
        held.error = errno;
    } else if (fstat(copy, &info) != 0) {
        held.error = errno;
        close(copy);
    } else {
        held = {copy, info.st_dev, info.st_ino, 0};
    }
    if (standIn < 0) {
        // No descriptor was left for it: descriptor 1 makes room, as the lowest free one.
        close(STDOUT_FILENO);
        standIn = openStandIn();
    }
    placeOn(STDOUT_FILENO, standIn);
    return held;
}

int takeHeldOutput(const HeldOutput& held) noexcept {
    // Whatever foreign code printed is flushed into the stand-in, then dropped for good,
    // so that no later flush (at exit) can write it anywhere.
    std::fflush(stdout);
    __fpurge(stdout);
    // A log connection opened while descriptor 1 was free would sit on it: closed here,
    // the next warning opens a fresh one, and what is printed at exit never reaches it.
    closelog();
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1 && errno == EBADF) {
        placeOn(STDOUT_FILENO, openStandIn());
    }
    if (held.fd < 0) {
        errno = held.error;
        return -1;
    }
    struct stat info {};
    if (fstat(held.fd, &info) != 0 || info.st_dev != held.device || info.st_ino != held.inode) {
        errno = EBADF;
        return -1;
    }
    return held.fd;
}
