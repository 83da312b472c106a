// A system image whose locations are worked out from outside it (--root DIR), as the
// tool installed in it would answer for an image of the tool's own architecture,
// without running any of its code and without reading anything outside it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include <boost/filesystem/file_status.hpp>
#include <boost/filesystem/path.hpp>

namespace volocations {

class ImageRoot {
public:
    // Opens the image at `dir`. Returns null when `dir` is this machine's own root
    // directory: the locations are then this machine's, exactly as without an image.
    // Throws std::runtime_error, naming `dir`, when it is not a directory that can be
    // read, and when the image holds the relocation library where its dynamic loader
    // would find it: that library's answers cannot be known without running it. Throws
    // boost::filesystem::filesystem_error when looking for that library fails for a
    // reason other than "not found", as a probe does.
    static std::unique_ptr<ImageRoot> open(const std::string& dir);

    ImageRoot(const ImageRoot&) = delete;
    ImageRoot& operator=(const ImageRoot&) = delete;
    ~ImageRoot();

    const std::string& dir() const noexcept { return dir_; }
    // The image's root directory, open, for vorootfs::open_in_root.
    int fd() const noexcept { return fd_; }

    // What boost::filesystem::status(path).type() says of `path` as seen inside the
    // image, every link resolved there: file_not_found for ENOENT and ENOTDIR,
    // boost::filesystem::filesystem_error (with the same message) for any other failure.
    // The file is only named (O_PATH), never opened, whatever it is.
    boost::filesystem::file_type status(const boost::filesystem::path& path) const;

    // Where a fallback's warning goes instead of this machine's system log, which is
    // not the image's: the message, unescaped. Without one, the warning is dropped.
    std::function<void(const char*)> warn;

private:
    ImageRoot(std::string dir, int fd) : dir_(std::move(dir)), fd_(fd) {}

    std::string dir_;
    int fd_;
};

}  // namespace volocations
