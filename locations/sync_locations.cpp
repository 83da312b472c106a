#include "locations/sync_locations.h"

#include <boost/filesystem/exception.hpp>
#include <boost/system/error_code.hpp>

#include "locations/location_trace.h"

using vofsview::FileSystemView;
using volocations::BaseDir;
using volocations::LayoutStep;
using volocations::LocationTrace;
using volocations::Probe;
using volocations::ProbeStep;
using volocations::StdDirAnswers;

namespace {

namespace fs = boost::filesystem;

LocationTrace* startTrace(LocationTrace* trace, const FileSystemView& view, StdDirAnswers answers) {
    if (trace != nullptr) {
        trace->steps.clear();
        trace->root = view.image_dir();
        trace->relocation = volocations::traceRelocation(answers);
    }
    return trace;
}

// The view's file types in the terms the status query has always used.
fs::file_type fileTypeOf(vofsview::FileType type) {
    switch (type) {
        case vofsview::FileType::notFound:
            return fs::file_not_found;
        case vofsview::FileType::regular:
            return fs::regular_file;
        case vofsview::FileType::directory:
            return fs::directory_file;
        case vofsview::FileType::blockDevice:
            return fs::block_file;
        case vofsview::FileType::characterDevice:
            return fs::character_file;
        case vofsview::FileType::fifo:
            return fs::fifo_file;
        case vofsview::FileType::socket:
            return fs::socket_file;
        case vofsview::FileType::unknown:
            break;
    }
    return fs::type_unknown;
}

void noteLayout(LocationTrace* trace, bool standard, bool forced) {
    if (trace != nullptr) trace->steps.emplace_back(LayoutStep{standard, forced});
}

}  // namespace

SyncLocations::SyncLocations(bool forceStandardLayout, LocationTrace* trace,
                             const FileSystemView& view)
    : view_(&view),
      stdDirs_(volocations::stdDirAnswersOf(view)),
      trace_(startTrace(trace, view, stdDirs_)),
      standardLayout_(true),
      kaironDir_(detectKaironDir(forceStandardLayout)),
      kaironLibraryDir_(standardLayout_ ? kaironDir_.parent_path() : kaironDir_),
      configBinary_(standardLayout_ ? kaironDir_ / "configgen"
                                    : kaironDir_ / "Config" / "configGen"),
      vokaironcli_(locateClientBinary()),
      timeReferenceDir_(kaironDir_ / (standardLayout_ ? "timereferences" : "TimeReferences")),
      timeKeeperDir_(kaironDir_ / (standardLayout_ ? "timekeepers" : "TimeKeepers")),
      servoDir_(kaironDir_ / (standardLayout_ ? "servos" : "Servos")),
      runtimeDir_(runtimeDirOfLayout()),
      runtimeTsmJson_(runtimeDir_ / "runtime_tsm.json"),
      configDir_(configDirOfLayout()),
      persistDir_(persistDirOfLayout()),
      persistentTsmJson_(persistDir_ / "tsm.json"),
      syncConfigFile_(query(BaseDir::sharedState) / "vo-sync" / "syncConfig.txt"),
      daemonPidFile_(query(BaseDir::runState) / "votsmd.pid"),
      daemonBinary_(locateDaemonBinary(forceStandardLayout)),
      votsmdLogFile_(query(BaseDir::localState) / "log" / "votsmd.log"),
      gpsMetaDataFile_(query(BaseDir::sharedState) / "vo-kairon" / "position.json") {
    trace_ = nullptr;  // the caller's record and view may not outlive this one
    view_ = nullptr;
}

SyncLocations::Path SyncLocations::query(BaseDir dir) const {
    return queryBaseDir(dir, *view_, stdDirs_, trace_);
}

// Any kind of file counts, a regular file or a device as much as a directory. Symbolic
// links are followed, ENOENT and ENOTDIR mean not found, and any other failure throws
// the error that Boost.Filesystem's status query throws, after the view's context.
bool SyncLocations::exists(const Path& path, Probe probe) const {
    vofsview::FileType type = vofsview::FileType::notFound;
    const int error = view_->type_of(path.c_str(), &type);
    volocations::requireResolved(*view_);
    if (error != 0) {
        throw fs::filesystem_error(
            std::string(view_->error_context()) + "boost::filesystem::status", path,
            boost::system::error_code(error, boost::system::system_category()));
    }
    if (trace_ != nullptr) {
        trace_->steps.emplace_back(ProbeStep{probe, path.string(), fileTypeOf(type)});
    }
    return type != vofsview::FileType::notFound;
}

// Settles the layout: it stays standard unless MULTIARCH/vo-kairon is not found.
SyncLocations::Path SyncLocations::detectKaironDir(bool forceStandardLayout) {
    Path standardDir = query(BaseDir::multiarchLib) / "vo-kairon";
    if (forceStandardLayout || exists(standardDir, Probe::productDir)) {
        noteLayout(trace_, true, forceStandardLayout);
        return standardDir;
    }
    standardLayout_ = false;
    noteLayout(trace_, false, false);
    return query(BaseDir::makerShared) / "Kairon";
}

// Only the legacy layout looks for the client in the bindir; the standard layout puts
// it there unseen.
SyncLocations::Path SyncLocations::locateClientBinary() const {
    Path inBindir = query(BaseDir::bin) / "vokaironcli";
    if (standardLayout_ || exists(inBindir, Probe::clientBinary)) return inBindir;
    return query(BaseDir::makerShared) / "Kairon" / "vokaironcli";
}

// The daemon is looked for in the bindir in either layout, unless probing is off.
SyncLocations::Path SyncLocations::locateDaemonBinary(bool forceStandardLayout) const {
    Path inBindir = query(BaseDir::bin) / "votsmd";
    if (forceStandardLayout || exists(inBindir, Probe::daemonBinary)) return inBindir;
    return query(BaseDir::makerShared) / "Kairon" / "votsmd";
}

SyncLocations::Path SyncLocations::runtimeDirOfLayout() const {
    Path runState = query(BaseDir::runState);
    return standardLayout_ ? runState / "vo-kairon" : runState / "morvane" / "Kairon";
}

SyncLocations::Path SyncLocations::configDirOfLayout() const {
    Path sysConf = query(BaseDir::sysConf);
    return standardLayout_ ? sysConf : sysConf / "morvane" / "share" / "Kairon";
}

// The legacy layout keeps its persistent state beside the product, with no query.
SyncLocations::Path SyncLocations::persistDirOfLayout() const {
    if (!standardLayout_) return kaironDir_;
    return query(BaseDir::sharedState) / "vo-kairon";
}
