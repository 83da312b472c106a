// The directories the product locations are built from, each asked anew for every
// location that needs it. A query that fails never stops the caller: it is logged as a
// warning and replaced by a fixed default.
#pragma once

#include <cstdint>

#include <boost/filesystem/path.hpp>

#include "vofsview/file_system_view.h"

namespace volocations {

struct LocationTrace;

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

// Where the standard directories of a viewed system come from.
enum class StdDirAnswers : uint8_t {
    relocationTable,  // this process's table: the relocation library it loaded answered
    builtInDefaults,  // the table's defaults: the system has no relocation library
};

// The standard directories of the system that `view` shows. The relocation library that
// its dynamic loader finds decides them: this process's table holds the answers of the
// one it loaded before main (this machine's), and one that only the system itself would
// load could answer only by being run, which code from outside this machine never is.
// Throws std::runtime_error, starting with the view's error context, when its loader
// would load one ("... holds the relocation library PATH, ...: use chroot DIR
// vosyncloc"), or when where it would cannot be told (a file that cannot be read, a cache
// in no format that is read); and when a path's resolution kept racing (see
// requireResolved).
StdDirAnswers stdDirAnswersOf(const vofsview::FileSystemView& view);

// Throws std::runtime_error, naming the path and the view (its error context), when a
// path's resolution in `view` kept being interrupted by changes elsewhere: then nothing
// read through the view can be trusted, and a default in its place would be a guess.
void requireResolved(const vofsview::FileSystemView& view);

// Asks for `dir` through `view` and returns its answer: a standard directory from
// `answers`, the shared directory from the pointer file as `view` sees it. When the
// query throws (an exception of any type), writes the query's fixed "vosysq::...()
// failed" message as a warning through view.warn() and returns the fixed fallback
// instead. When `trace` is not null, also appends a BaseDirStep that tells where the
// result came from. Only memory exhaustion while building the result (or the step), and
// requireResolved's error, leave this function.
boost::filesystem::path queryBaseDir(BaseDir dir, const vofsview::FileSystemView& view,
                                     StdDirAnswers answers, LocationTrace* trace = nullptr);

// Builds this process's standard directory table now, asking this machine's relocation
// library: the tool does it before main, while foreign code cannot reach its output.
// Its outcome is read by every later query. Never throws.
void loadStandardDirectories() noexcept;

}  // namespace volocations
