#include "locations/image_root.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <boost/filesystem/exception.hpp>
#include <boost/system/error_code.hpp>

#include "vorootfs/root_open.h"
#include "vosysq/stdpath.h"

namespace volocations {
namespace {

// The directories where the image's dynamic loader finds a library by its name: the
// multiarch directory of its standard directories (by default, as nothing of the image
// may say otherwise), /lib/<multiarch>, /usr/lib and /lib.
std::string relocationLibraryIn(const ImageRoot& image) {
    const std::string multiarch = vosysq::std_dir_default("multiarchlibdir");
    const std::string triplet = multiarch.substr(multiarch.rfind('/') + 1);
    for (const std::string& dir :
         {multiarch, "/lib/" + triplet, std::string("/usr/lib"), std::string("/lib")}) {
        const std::string path = dir + "/" + vosysq::kRelocationLibrary;
        if (image.status(path) != boost::filesystem::file_not_found) return path;
    }
    return "";
}

boost::filesystem::file_type typeOf(mode_t mode) {
    switch (mode & S_IFMT) {
        case S_IFREG:
            return boost::filesystem::regular_file;
        case S_IFDIR:
            return boost::filesystem::directory_file;
        case S_IFLNK:
            return boost::filesystem::symlink_file;
        case S_IFBLK:
            return boost::filesystem::block_file;
        case S_IFCHR:
            return boost::filesystem::character_file;
        case S_IFIFO:
            return boost::filesystem::fifo_file;
        case S_IFSOCK:
            return boost::filesystem::socket_file;
        default:
            return boost::filesystem::type_unknown;
    }
}

bool isThisMachinesRoot(int fd) {
    struct stat image {};
    struct stat own {};
    return fstat(fd, &image) == 0 && stat("/", &own) == 0 && image.st_dev == own.st_dev &&
           image.st_ino == own.st_ino;
}

}  // namespace

std::unique_ptr<ImageRoot> ImageRoot::open(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("invalid root " + dir + ": " + std::strerror(errno));
    std::unique_ptr<ImageRoot> image(new ImageRoot(dir, fd));
    if (isThisMachinesRoot(fd)) return nullptr;
    const std::string library = relocationLibraryIn(*image);
    if (!library.empty()) {
        throw std::runtime_error("the image " + dir + " holds the relocation library " + library +
                                 ", whose answers only running it can give: use chroot " + dir +
                                 " vosyncloc");
    }
    return image;
}

boost::filesystem::file_type ImageRoot::status(const boost::filesystem::path& path) const {
    const int fd = vorootfs::open_in_root(fd_, path.c_str(), O_PATH | O_CLOEXEC);
    struct stat info {};
    const int error = fd < 0 ? errno : fstat(fd, &info) != 0 ? errno : 0;
    if (fd >= 0) close(fd);
    if (error == ENOENT || error == ENOTDIR) return boost::filesystem::file_not_found;
    if (error != 0) {
        throw boost::filesystem::filesystem_error(
            "boost::filesystem::status", path,
            boost::system::error_code(error, boost::system::system_category()));
    }
    return typeOf(info.st_mode);
}

ImageRoot::~ImageRoot() {
    close(fd_);
}

}  // namespace volocations
