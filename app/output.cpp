#include "app/output.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
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
    int placeholder = open("/dev/null", O_RDONLY);
    if (placeholder < 0) placeholder = open("/", O_RDONLY | O_DIRECTORY);
    if (placeholder < 0) return false;
    if (placeholder == fd) return true;
    const bool occupied = dup2(placeholder, fd) == fd;
    close(placeholder);
    return occupied;
}
