#include "app/explain/explain_names.h"

#include "errors/error_constants.h"

namespace fs = boost::filesystem;

ExplainName probeName(volocations::Probe probe) noexcept {
    switch (probe) {
        case volocations::Probe::productDir:
            return {"productDir", "product directory"};
        case volocations::Probe::clientBinary:
            return {"clientBinary", "client binary"};
        case volocations::Probe::daemonBinary:
            return {"daemonBinary", "daemon binary"};
    }
    return {"unknown", "unknown probe"};
}

ExplainName fileTypeName(fs::file_type type) noexcept {
    switch (type) {
        case fs::file_not_found:
            return {"notFound", "not found"};
        case fs::regular_file:
            return {"regularFile", "regular file"};
        case fs::directory_file:
            return {"directory", "directory"};
        case fs::symlink_file:
            return {"symlink", "symbolic link"};
        case fs::block_file:
            return {"blockDevice", "block device"};
        case fs::character_file:
            return {"characterDevice", "character device"};
        case fs::fifo_file:
            return {"fifo", "FIFO"};
        case fs::socket_file:
            return {"socket", "socket"};
        default:
            return {"unknown", "file of unknown type"};
    }
}

ExplainName stdDirSourceName(vosysq::StdDirSource source) noexcept {
    if (source == vosysq::StdDirSource::relocated) return {"relocated", "relocated"};
    return {"builtInDefault", "built-in default"};
}

ExplainName sharedDirSourceName(vosysq::SharedDirSource source) noexcept {
    switch (source) {
        case vosysq::SharedDirSource::pointerFile:
            return {"pointerFile", "read from"};
        case vosysq::SharedDirSource::emptyPointerFile:
            return {"emptyPointerFile", "read from"};
        case vosysq::SharedDirSource::pointerFileNotFound:
            return {"pointerFileNotFound", "not found"};
        case vosysq::SharedDirSource::pointerFileUnreadable:
            break;
    }
    return {"pointerFileUnreadable", "unreadable"};
}

ExplainName layoutReason(const volocations::LayoutStep& layout) noexcept {
    if (layout.forced) return {"forced", "taken without probing"};
    if (layout.standard) return {"productDirFound", "product directory found"};
    return {"productDirNotFound", "product directory not found"};
}

ExplainName relocationFailure(const volocations::RelocationTrace& trace) noexcept {
    if (trace.failedAnswer < 0) return {"refused", "refused"};
    if (trace.failedAnswer > 0 && trace.tableCode == voapalerr_resourceNotFound) {
        return {"unterminated", "answered without a NUL within 255 bytes"};
    }
    return {"notTaken", "answer not taken"};
}
