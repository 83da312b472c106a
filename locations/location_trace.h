// What one SyncLocations construction did to find its locations, recorded as it went, so
// that a front end can show why each location is what it is. A plain construction
// records nothing: the record exists only when a caller hands one in.
//
// The record is this layer's own: its sources and outcomes are named here
// (locations/trace_names.h), whatever the directory query below calls them.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include <boost/filesystem/file_status.hpp>

#include "locations/base_dir_query.h"

namespace volocations {

// Where a base directory query's answer came from.
enum class Source : uint8_t {
    builtInDefault,         // a standard directory's default: not relocated (or not asked)
    relocated,              // the relocation library's answer
    pointerFile,            // the shared directory: the trimmed content of its pointer file
    emptyPointerFile,       // the pointer file was read but trimmed to nothing: "" it is
    pointerFileNotFound,    // the shared directory's default: no pointer file
    pointerFileUnreadable,  // the shared directory's default: the pointer file was not read
    fallback,               // the query threw: the fixed fallback, and a warning logged
};

// What the shared-directory lookup read from its pointer file, or why it could not.
struct PointerFileRead {
    std::string file;     // the pointer file's path
    std::string content;  // what was read, before trimming (pointerFile, emptyPointerFile)
    // For the default: the failed read's status code, the system's error number it
    // recorded and that number's message (0 and "" when it recorded none, as for
    // exhausted memory or a read cut short without an error), and for such a short read
    // the size the file reported and the bytes it yielded (-1 otherwise).
    int32_t code = 0;
    int32_t error = 0;
    std::string errorText;
    int64_t fileSize = -1;
    int64_t bytesRead = -1;
};

// One base directory query: what it gave and where that came from.
struct BaseDirStep {
    BaseDir dir = BaseDir::multiarchLib;
    std::string path;  // the answer, or the fallback when the query threw
    Source source = Source::builtInDefault;
    PointerFileRead pointerFile;  // for BaseDir::makerShared, unless it fell back
    // For Source::fallback: the voerr::Exception's code (0 for an exception of another
    // type), its what() ("" when it has none, or for an exception of unknown type), and
    // the message written to the system log.
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

// Why the relocation library's answer to a name failed the standard directory table.
enum class RelocationFailure : uint8_t {
    none,          // no answer failed
    refused,       // a negative answer
    unterminated,  // an answer without a NUL within its buffer
    notTaken,      // an answer that could not be stored, or no buffer to ask with
};

// What the standard directory table made of the relocation library at process start.
struct RelocationTrace {
    const char* library = "";     // the relocation library's file name
    const char* entryPoint = "";  // the function it is asked through
    bool libraryLoaded = false;
    bool entryPointFound = false;
    std::string loaderMessage;  // the loader's message when either was not found
    RelocationFailure failure = RelocationFailure::none;
    std::string failedName;    // the name whose answer failed the table, "" for none
    int32_t failedAnswer = 0;  // the library's result for it
    int32_t tableCode = 0;     // the table's status code; negative when its build failed
    // False when the locations are not this machine's (an image): the table's answers
    // were not used, and the standard directories are the built-in defaults.
    bool answersUsed = true;
};

struct LocationTrace {
    std::string root;  // the viewed image's directory, "" for this machine
    RelocationTrace relocation;
    std::vector<TraceStep> steps;  // in the order the construction took them
};

// Reads the relocation outcome that the standard directory table kept from its build,
// decoding the loader's message only now, and whether its answers are the ones used.
// Asks nothing anew: the table was built, and the library closed, before main. Throws
// only std::bad_alloc.
RelocationTrace traceRelocation(StdDirAnswers answers);

}  // namespace volocations
