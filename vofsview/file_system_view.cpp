#include "vofsview/file_system_view.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "vofsview/file_type.h"

namespace vofsview {

void FileSystemView::note_unresolved(const char* path) const noexcept {
    if (unresolvedPath_[0] != '\0' || path == nullptr) return;
    std::strncpy(unresolvedPath_, path, sizeof unresolvedPath_ - 1);
    if (unresolvedPath_[0] == '\0') unresolvedPath_[0] = '.';  // "" still counts as one
}

namespace {

// Paths are taken as they are, links resolved wherever they lead: the machine is the
// administrator's own, and every other tool on it reads it the same way.
class ThisMachine final : public FileSystemView {
public:
    int type_of(const char* path, FileType* type) const noexcept override {
        struct stat info {};
        if (stat(path, &info) != 0) return not_found_or_error(errno, type);
        *type = file_type_of(info.st_mode);
        return 0;
    }

    // Any file is opened, a device as much as a regular file; the caller reads only a
    // regular one.
    int open_to_read(const char* path) const noexcept override {
        return open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    }

    void find_library(const char*, LibrarySearchResult* result) const noexcept override {
        *result = LibrarySearchResult{};
        result->outcome = LibrarySearch::loadedByThisProcess;
    }

    void warn(const char* message) const noexcept override { syslog(LOG_WARNING, "%s", message); }

    const char* error_context() const noexcept override { return ""; }
    const char* image_dir() const noexcept override { return ""; }
};

}  // namespace

const FileSystemView& this_machine() noexcept {
    static const ThisMachine view;
    return view;
}

}  // namespace vofsview
