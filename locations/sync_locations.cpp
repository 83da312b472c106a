#include "locations/sync_locations.h"

#include <boost/filesystem/operations.hpp>

#include "locations/base_dir_query.h"
#include "locations/image_root.h"
#include "locations/location_trace.h"

using volocations::BaseDir;
using volocations::ImageRoot;
using volocations::LayoutStep;
using volocations::LocationTrace;
using volocations::Probe;
using volocations::ProbeStep;
using volocations::queryBaseDir;

namespace {

LocationTrace* startTrace(LocationTrace* trace, const ImageRoot* root) {
    if (trace != nullptr) {
        trace->steps.clear();
        trace->root = root != nullptr ? root->dir() : "";
        trace->relocation = volocations::traceRelocation(root != nullptr);
    }
    return trace;
}

// Any kind of file counts, a regular file or a device as much as a directory. The
// throwing status query follows symbolic links, reports ENOENT and ENOTDIR as
// file_not_found and throws for every other failure; in an image, all of that inside it.
bool pathExists(const boost::filesystem::path& path, Probe probe, LocationTrace* trace,
                const ImageRoot* root) {
    const boost::filesystem::file_type type =
        root != nullptr ? root->status(path) : boost::filesystem::status(path).type();
    if (trace != nullptr) trace->steps.emplace_back(ProbeStep{probe, path.string(), type});
    return type != boost::filesystem::file_not_found;
}

void noteLayout(LocationTrace* trace, bool standard, bool forced) {
    if (trace != nullptr) trace->steps.emplace_back(LayoutStep{standard, forced});
}

// The legacy home of a binary, from a fresh shared-directory query.
boost::filesystem::path legacyBinary(const char* name, LocationTrace* trace,
                                     const ImageRoot* root) {
    return queryBaseDir(BaseDir::makerShared, trace, root) / "Kairon" / name;
}

}  // namespace

SyncLocations::SyncLocations(bool forceStandardLayout, LocationTrace* trace, const ImageRoot* root)
    : root_(root),
      trace_(startTrace(trace, root)),
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
      syncConfigFile_(queryBaseDir(BaseDir::sharedState, trace_, root_) / "vo-sync" /
                      "syncConfig.txt"),
      daemonPidFile_(queryBaseDir(BaseDir::runState, trace_, root_) / "votsmd.pid"),
      daemonBinary_(locateDaemonBinary(forceStandardLayout)),
      votsmdLogFile_(queryBaseDir(BaseDir::localState, trace_, root_) / "log" / "votsmd.log"),
      gpsMetaDataFile_(queryBaseDir(BaseDir::sharedState, trace_, root_) / "vo-kairon" /
                       "position.json") {
    trace_ = nullptr;  // the caller's record and image may not outlive this one
    root_ = nullptr;
}

// Settles the layout: it stays standard unless MULTIARCH/vo-kairon is not found.
SyncLocations::Path SyncLocations::detectKaironDir(bool forceStandardLayout) {
    Path standardDir = queryBaseDir(BaseDir::multiarchLib, trace_, root_) / "vo-kairon";
    if (forceStandardLayout || pathExists(standardDir, Probe::productDir, trace_, root_)) {
        noteLayout(trace_, true, forceStandardLayout);
        return standardDir;
    }
    standardLayout_ = false;
    noteLayout(trace_, false, false);
    return queryBaseDir(BaseDir::makerShared, trace_, root_) / "Kairon";
}

// Only the legacy layout looks for the client in the bindir; the standard layout puts
// it there unseen.
SyncLocations::Path SyncLocations::locateClientBinary() const {
    Path inBindir = queryBaseDir(BaseDir::bin, trace_, root_) / "vokaironcli";
    if (standardLayout_ || pathExists(inBindir, Probe::clientBinary, trace_, root_))
        return inBindir;
    return legacyBinary("vokaironcli", trace_, root_);
}

// The daemon is looked for in the bindir in either layout, unless probing is off.
SyncLocations::Path SyncLocations::locateDaemonBinary(bool forceStandardLayout) const {
    Path inBindir = queryBaseDir(BaseDir::bin, trace_, root_) / "votsmd";
    if (forceStandardLayout || pathExists(inBindir, Probe::daemonBinary, trace_, root_))
        return inBindir;
    return legacyBinary("votsmd", trace_, root_);
}

SyncLocations::Path SyncLocations::runtimeDirOfLayout() const {
    Path runState = queryBaseDir(BaseDir::runState, trace_, root_);
    return standardLayout_ ? runState / "vo-kairon" : runState / "morvane" / "Kairon";
}

SyncLocations::Path SyncLocations::configDirOfLayout() const {
    Path sysConf = queryBaseDir(BaseDir::sysConf, trace_, root_);
    return standardLayout_ ? sysConf : sysConf / "morvane" / "share" / "Kairon";
}

// The legacy layout keeps its persistent state beside the product, with no query.
SyncLocations::Path SyncLocations::persistDirOfLayout() const {
    if (!standardLayout_) return kaironDir_;
    return queryBaseDir(BaseDir::sharedState, trace_, root_) / "vo-kairon";
}
