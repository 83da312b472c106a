#include "vorootfs/root_open.h"

#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vorootfs {

int open_in_root(int rootFd, const char* path, int flags) noexcept {
    open_how how{};
    how.flags = static_cast<uint64_t>(flags);
    how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
    // The kernel answers EAGAIN when a rename elsewhere raced with the resolution; it is
    // safe to ask again. The C library of Debian 12 has no wrapper for openat2.
    int fd = -1;
    for (int attempt = 0; attempt < 8; ++attempt) {
        fd = static_cast<int>(syscall(SYS_openat2, rootFd, path, &how, sizeof how));
        if (fd >= 0 || errno != EAGAIN) break;
    }
    return fd;
}

}  // namespace vorootfs
