#include "private_mounts.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool writeWhole(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int writeErrno = errno;
    close(fd);
    errno = writeErrno;
    return written;
}

// The caller's own ids become 0 in a new user namespace. Without a capability outside,
// the group map can be written only once setgroups is refused for good.
std::string enterUserNamespace() {
    const std::string uid = std::to_string(geteuid());
    const std::string gid = std::to_string(getegid());
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        return systemError("unshare of a user and a mount namespace");
    }
    if (!writeWhole("/proc/self/setgroups", "deny")) return systemError("refusing setgroups");
    if (!writeWhole("/proc/self/uid_map", "0 " + uid + " 1")) return systemError("mapping uid");
    if (!writeWhole("/proc/self/gid_map", "0 " + gid + " 1")) return systemError("mapping gid");
    return "";
}

}  // namespace

std::string enterPrivateMounts() {
    if (geteuid() == 0) {
        if (unshare(CLONE_NEWNS) != 0) return systemError("unshare of a mount namespace");
    } else {
        const std::string failed = enterUserNamespace();
        if (!failed.empty()) return failed;
    }
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return systemError("making / private");
    }
    return "";
}
