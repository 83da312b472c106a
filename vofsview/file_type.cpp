#include "vofsview/file_type.h"

#include <sys/stat.h>

#include <cerrno>

namespace vofsview {

FileType file_type_of(mode_t mode) noexcept {
    switch (mode & S_IFMT) {
        case S_IFREG:
            return FileType::regular;
        case S_IFDIR:
            return FileType::directory;
        case S_IFBLK:
            return FileType::blockDevice;
        case S_IFCHR:
            return FileType::characterDevice;
        case S_IFIFO:
            return FileType::fifo;
        case S_IFSOCK:
            return FileType::socket;
        default:
            return FileType::unknown;
    }
}

int not_found_or_error(int error, FileType* type) noexcept {
    if (error != ENOENT && error != ENOTDIR) return error;
    *type = FileType::notFound;
    return 0;
}

}  // namespace vofsview
