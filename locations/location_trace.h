// What one SyncLocations construction did to find its locations, recorded as it went, so
// that a front end can show why each location is what it is. A plain construction
// records nothing: the record exists only when a caller hands one in.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include <boost/filesystem/file_status.hpp>

#include "locations/base_dir_query.h"
#include "vosysq/stdpath.h"
#include "vosysq/stdpath_util.h"

namespace volocations {

// One base directory query: what it gave and where that came from.
struct BaseDirStep {
    BaseDir dir = BaseDir::multiarchLib;
    std::string path;  // the answer, or the fallback when the query threw
    // Where an answer came from: the table entry's source for a standard directory, the
    // lookup's origin for the maker's shared directory. Unused after a fallback.
    vosysq::StdDirSource stdDirSource = vosysq::StdDirSource::builtInDefault;
    vosysq::SharedDirOrigin sharedDir;
    // The query threw and `path` is the fixed fallback; then `code` is the
    // voerr::Exception's code (0 for an exception of another type), `detail` its what()
    // ("" when it has none, or for an exception of unknown type), and `warning` the
    // message written to the system log.
    bool fellBack = false;
    int32_t code = 0;
    std::string detail;
    const char* warning = nullptr;
};

// The file-system probes, each asking whether a path exists.
enum class Probe : uint8_t {
    productDir,    // MULTIARCH/vo-kairon: the standard layout holds when it exists
    clientBinary,  // BINDIR/vokaironcli, in the legacy layout
    daemonBinary,  // BINDIR/votsmd
};

struct ProbeStep {
    Probe probe = Probe::productDir;
    std::string path;
    // What the probe found, symbolic links followed: file_not_found when nothing is there.
    boost::filesystem::file_type type = boost::filesystem::file_not_found;
};

// The layout decision, taken right after the product directory probe (or without one).
struct LayoutStep {
    bool standard = true;
    bool forced = false;  // standard without probing (forceStandardLayout)
};

using TraceStep = std::variant<BaseDirStep, ProbeStep, LayoutStep>;

// What the standard directory table made of the relocation library at process start.
struct RelocationTrace {
    bool libraryLoaded = false;
    bool entryPointFound = false;
    std::string loaderMessage;  // the loader's message when either was not found
    std::string failedName;     // the name whose answer failed the table, "" for none
    int32_t failedAnswer = 0;   // the library's result for it (see RelocationOutcome)
    int32_t tableCode = 0;      // the table's status code; negative when its build failed
};

struct LocationTrace {
    RelocationTrace relocation;
    std::vector<TraceStep> steps;  // in the order the construction took them
};

// Reads the relocation outcome that the standard directory table kept from its build.
// Asks nothing anew: the table was built, and the library closed, before main. Throws
// only std::bad_alloc.
RelocationTrace traceRelocation();

}  // namespace volocations
