// The view of a system image from outside it (--root DIR): the image's directory tree
// stands in for "/", as it would for a process chrooted into it, and nothing of the
// image runs.
#pragma once

#include "vofsview/file_system_view.h"

namespace vofsview {

// Where an image's warnings go, since this machine's system log is not the image's:
// write(context, message) with the message as it is. A null `write` drops them.
struct WarningSink {
    void (*write)(void* context, const char* message) noexcept = nullptr;
    void* context = nullptr;
};

class ImageView final : public FileSystemView {
public:
    ImageView() noexcept = default;
    ~ImageView();

    // Opens the image in the directory `dir` (a path of this machine), its warnings going
    // to `sink`. Returns 0, or the error number with *failedPath naming what could not
    // be opened: `dir` itself (as open(2) fails on it; ENAMETOOLONG for one longer than
    // PATH_MAX - 32 bytes), or "/proc/self/fd", through which the image's regular files
    // are reopened to be read (ENOENT also where something other than the proc file
    // system is mounted there). The view is usable only after a 0, shows_this_machine()
    // also after a failure on /proc/self/fd; open it once.
    int open(const char* dir, WarningSink sink, const char** failedPath) noexcept;

    // True when the directory opened is this machine's own root directory, "/" under
    // any name: the locations are then this machine's.
    bool shows_this_machine() const noexcept;

    // Every component of `path` (absolute or relative, as seen inside the image) is
    // resolved inside it: an absolute symbolic link starts again at its root, ".." never
    // climbs above it, and the kernel's magic links (/proc/PID/fd/N and the like) are
    // refused (ELOOP). A resolution that a rename elsewhere keeps interrupting (EAGAIN)
    // is asked again, thousands of times; past that it fails with EAGAIN and the path
    // becomes the view's unresolved_path(). Needs Linux 5.6 (openat2): ENOSYS before.
    int type_of(const char* path, FileType* type) const noexcept override;

    // Only a regular file is opened for reading, and from the very descriptor whose type
    // was checked (reopened through /proc/self/fd), so that a file swapped in between
    // is never opened: a FIFO, socket or device node of an image is anyone's, and opening
    // one can act on this machine's device of that number. Anything else comes back
    // only named (O_PATH).
    int open_to_read(const char* path) const noexcept override;

    // The image's dynamic loader, as loader_search.h reads it, never this machine's.
    void find_library(const char* name, LibrarySearchResult* result) const noexcept override;

    void warn(const char* message) const noexcept override;
    const char* error_context() const noexcept override { return context_; }
    const char* image_dir() const noexcept override { return dir_; }

private:
    // Opens `path` inside the image with open(2)'s `flags`; -1 with errno set.
    int open_inside(const char* path, int flags) const noexcept;

    int rootFd_ = -1;
    int procFdDir_ = -1;  // /proc/self/fd, for reopening a checked descriptor
    WarningSink sink_;
    char dir_[PATH_MAX - 32]{};
    char context_[PATH_MAX]{};  // "in the image DIR: "
};

}  // namespace vofsview
