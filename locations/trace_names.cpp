#include "locations/trace_names.h"

namespace volocations {

namespace fs = boost::filesystem;

namespace {

struct FileTypeName {
    fs::file_type type;
    TraceName name;
};

constexpr FileTypeName kFileTypes[] = {
    {fs::file_not_found, {"notFound", "not found"}},
    {fs::regular_file, {"regularFile", "regular file"}},
    {fs::directory_file, {"directory", "directory"}},
    {fs::symlink_file, {"symlink", "symbolic link"}},
    {fs::block_file, {"blockDevice", "block device"}},
    {fs::character_file, {"characterDevice", "character device"}},
    {fs::fifo_file, {"fifo", "FIFO"}},
    {fs::socket_file, {"socket", "socket"}},
};

}  // namespace

// Each switch names every value and has no default, so that a new one fails the build
// until it has its names here.

TraceName sourceName(Source source) noexcept {
    switch (source) {
        case Source::builtInDefault:
            return {"builtInDefault", "built-in default"};
        case Source::relocated:
            return {"relocated", "relocated"};
        case Source::pointerFile:
            return {"pointerFile", "read from"};
        case Source::emptyPointerFile:
            return {"emptyPointerFile", "read from"};
        case Source::pointerFileNotFound:
            return {"pointerFileNotFound", "not found"};
        case Source::pointerFileUnreadable:
            return {"pointerFileUnreadable", "unreadable"};
        case Source::fallback:
            return {"fallback", "fallback after"};
    }
    return {"unknown", "unknown source"};  // a value no enumerator names
}

TraceName probeName(Probe probe) noexcept {
    switch (probe) {
        case Probe::productDir:
            return {"productDir", "product directory"};
        case Probe::clientBinary:
            return {"clientBinary", "client binary"};
        case Probe::daemonBinary:
            return {"daemonBinary", "daemon binary"};
    }
    return {"unknown", "unknown probe"};
}

TraceName fileTypeName(fs::file_type type) noexcept {
    for (const FileTypeName& known : kFileTypes) {
        if (known.type == type) return known.name;
    }
    return {"unknown", "file of unknown type"};
}

TraceName layoutReason(const LayoutStep& layout) noexcept {
    if (layout.forced) return {"forced", "taken without probing"};
    if (layout.standard) return {"productDirFound", "product directory found"};
    return {"productDirNotFound", "product directory not found"};
}

TraceName relocationFailureName(RelocationFailure failure) noexcept {
    switch (failure) {
        case RelocationFailure::none:
            return {"none", "no failure"};
        case RelocationFailure::refused:
            return {"refused", "refused"};
        case RelocationFailure::unterminated:
            return {"unterminated", "answered without a NUL within 255 bytes"};
        case RelocationFailure::notTaken:
            return {"notTaken", "answer not taken"};
    }
    return {"unknown", "unknown failure"};
}

}  // namespace volocations
