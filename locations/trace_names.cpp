#include "locations/trace_names.h"

#include <cstddef>

namespace volocations {

namespace fs = boost::filesystem;

namespace {

// Indexed by Source.
constexpr TraceName kSources[] = {
    {"builtInDefault", "built-in default"}, {"relocated", "relocated"},
    {"pointerFile", "read from"},           {"emptyPointerFile", "read from"},
    {"pointerFileNotFound", "not found"},   {"pointerFileUnreadable", "unreadable"},
    {"fallback", "fallback after"},
};

// Indexed by Probe.
constexpr TraceName kProbes[] = {
    {"productDir", "product directory"},
    {"clientBinary", "client binary"},
    {"daemonBinary", "daemon binary"},
};

// Indexed by RelocationFailure.
constexpr TraceName kRelocationFailures[] = {
    {"none", "no failure"},
    {"refused", "refused"},
    {"unterminated", "answered without a NUL within 255 bytes"},
    {"notTaken", "answer not taken"},
};

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

// The entry of `table` at `index`, or {"unknown", `unknown`} past its end.
template <std::size_t N>
TraceName at(const TraceName (&table)[N], std::size_t index, const char* unknown) noexcept {
    return index < N ? table[index] : TraceName{"unknown", unknown};
}

}  // namespace

TraceName sourceName(Source source) noexcept {
    return at(kSources, static_cast<std::size_t>(source), "unknown source");
}

TraceName probeName(Probe probe) noexcept {
    return at(kProbes, static_cast<std::size_t>(probe), "unknown probe");
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
    return at(kRelocationFailures, static_cast<std::size_t>(failure), "unknown failure");
}

}  // namespace volocations
