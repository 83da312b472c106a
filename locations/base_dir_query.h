// The directories the product locations are built from, each asked anew for every
// location that needs it. A query that fails never stops the caller: it is logged as a
// warning and replaced by a fixed default.
#pragma once

#include <boost/filesystem/path.hpp>

namespace volocations {

struct LocationTrace;
class ImageRoot;

// One of the base directories behind the product locations.
enum class BaseDir {
    multiarchLib,  // vosysq::get_multiarchlibdir, fallback "/usr/lib/x86_64-linux-gnu"
    bin,           // vosysq::get_bindir, fallback "/usr/bin"
    runState,      // vosysq::get_runstatedir, fallback "/var/run"
    sysConf,       // vosysq::get_sysconfdir, fallback "/etc"
    sharedState,   // vosysq::get_sharedstatedir, fallback "/var/lib"
    localState,    // vosysq::get_localstatedir, fallback "/var"
    makerShared,   // vosysq::getVOSharedDir, fallback "/usr/local/morvane/shared"
};

// The name `dir` is known by: the standard directory's name in the table
// ("multiarchlibdir", "bindir", ...), or "shared" for the maker's shared directory.
const char* baseDirName(BaseDir dir) noexcept;

// Asks the standard directory query for `dir` and returns its answer. When the query
// throws (an exception of any type), writes the query's fixed "vosysq::...() failed"
// message to the system log at LOG_WARNING and returns the fixed fallback instead. When
// `trace` is not null, also appends a BaseDirStep that tells where the result came from.
// Only memory exhaustion while building the result (or the step) leaves this function.
// For an image (`root` not null) a standard directory is its built-in default, since
// this machine's relocation answers are not the image's, the shared directory is read
// from the image's pointer file, and a warning goes to root->warn, not to the log.
boost::filesystem::path queryBaseDir(BaseDir dir, LocationTrace* trace = nullptr,
                                     const ImageRoot* root = nullptr);

}  // namespace volocations
