#include "vofsview/image_view.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <linux/openat2.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "vofsview/file_type.h"
#include "vofsview/loader_search.h"

namespace vofsview {
namespace {

// The kernel answers EAGAIN when a rename or mount anywhere on the machine may have raced
// with a resolution that had to check "..", and asking again is safe. Under a tight
// rename loop on every core a resolution met two in a row at most; this bound is far
// beyond what a busy image build gives, yet ends in milliseconds when the answer stays
// EAGAIN for good.
constexpr int kResolveAttempts = 4096;

// close(2) that keeps errno, for the error paths.
void close_keeping_errno(int fd) noexcept {
    const int error = errno;
    close(fd);
    errno = error;
}

}  // namespace

ImageView::~ImageView() {
    if (rootFd_ >= 0) close(rootFd_);
    if (procFdDir_ >= 0) close(procFdDir_);
}

int ImageView::open(const char* dir, WarningSink sink, const char** failedPath) noexcept {
    *failedPath = dir;
    if (std::strlen(dir) >= sizeof dir_) return ENAMETOOLONG;
    rootFd_ = ::open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd_ < 0) return errno;
    *failedPath = "/proc/self/fd";
    procFdDir_ = ::open(*failedPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFdDir_ < 0) return errno;
    struct statfs info {};
    if (fstatfs(procFdDir_, &info) != 0) return errno;
    if (info.f_type != PROC_SUPER_MAGIC) return ENOENT;
    std::strcpy(dir_, dir);
    std::snprintf(context_, sizeof context_, "in the image %s: ", dir);
    sink_ = sink;
    return 0;
}

bool ImageView::shows_this_machine() const noexcept {
    struct stat image {};
    struct stat own {};
    return fstat(rootFd_, &image) == 0 && stat("/", &own) == 0 && image.st_dev == own.st_dev &&
           image.st_ino == own.st_ino;
}

int ImageView::open_inside(const char* path, int flags) const noexcept {
    open_how how{};
    how.flags = static_cast<uint64_t>(flags);
    how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
    // The C library of Debian 12 has no wrapper for openat2.
    for (int attempt = 0; attempt < kResolveAttempts; ++attempt) {
        const int fd = static_cast<int>(syscall(SYS_openat2, rootFd_, path, &how, sizeof how));
        if (fd >= 0 || errno != EAGAIN) return fd;
        sched_yield();  // let whatever renames finish its step
    }
    note_unresolved(path);
    errno = EAGAIN;
    return -1;
}

int ImageView::type_of(const char* path, FileType* type) const noexcept {
    const int fd = open_inside(path, O_PATH | O_CLOEXEC);
    if (fd < 0) return not_found_or_error(errno, type);
    struct stat info {};
    const int error = fstat(fd, &info) != 0 ? errno : 0;
    close(fd);
    if (error != 0) return error;
    *type = file_type_of(info.st_mode);
    return 0;
}

int ImageView::open_to_read(const char* path) const noexcept {
    const int named = open_inside(path, O_PATH | O_CLOEXEC);
    struct stat info {};
    if (named < 0 || fstat(named, &info) != 0 || !S_ISREG(info.st_mode)) return named;
    char number[16];
    std::snprintf(number, sizeof number, "%d", named);
    const int readable = openat(procFdDir_, number, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    close_keeping_errno(named);
    return readable;
}

void ImageView::find_library(const char* name, LibrarySearchResult* result) const noexcept {
    search_library(*this, name, result);
}

void ImageView::warn(const char* message) const noexcept {
    if (sink_.write != nullptr) sink_.write(sink_.context, message);
}

}  // namespace vofsview
