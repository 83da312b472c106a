#include "locations/sync_locations.h"

#include <boost/filesystem/operations.hpp>

#include "locations/base_dir_query.h"

using volocations::BaseDir;
using volocations::queryBaseDir;

namespace {

// Any kind of file counts, a regular file or a device as much as a directory. The
// throwing status query follows symbolic links, reports ENOENT and ENOTDIR as
// file_not_found and throws for every other failure.
bool pathExists(const boost::filesystem::path& path) {
    return boost::filesystem::status(path).type() != boost::filesystem::file_not_found;
}

// The legacy home of a binary, from a fresh shared-directory query.
boost::filesystem::path legacyBinary(const char* name) {
    return queryBaseDir(BaseDir::makerShared) / "Kairon" / name;
}

}  // namespace

SyncLocations::SyncLocations(bool forceStandardLayout)
    : standardLayout_(true),
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
      syncConfigFile_(queryBaseDir(BaseDir::sharedState) / "vo-sync" / "syncConfig.txt"),
      daemonPidFile_(queryBaseDir(BaseDir::runState) / "votsmd.pid"),
      daemonBinary_(locateDaemonBinary(forceStandardLayout)),
      votsmdLogFile_(queryBaseDir(BaseDir::localState) / "log" / "votsmd.log"),
      gpsMetaDataFile_(queryBaseDir(BaseDir::sharedState) / "vo-kairon" / "position.json") {}

// Settles the layout: it stays standard unless MULTIARCH/vo-kairon is not found.
SyncLocations::Path SyncLocations::detectKaironDir(bool forceStandardLayout) {
    Path standardDir = queryBaseDir(BaseDir::multiarchLib) / "vo-kairon";
    if (forceStandardLayout || pathExists(standardDir)) return standardDir;
    standardLayout_ = false;
    return queryBaseDir(BaseDir::makerShared) / "Kairon";
}

// Only the legacy layout looks for the client in the bindir; the standard layout puts
// it there unseen.
SyncLocations::Path SyncLocations::locateClientBinary() const {
    Path inBindir = queryBaseDir(BaseDir::bin) / "vokaironcli";
    if (standardLayout_ || pathExists(inBindir)) return inBindir;
    return legacyBinary("vokaironcli");
}

// The daemon is looked for in the bindir in either layout, unless probing is off.
SyncLocations::Path SyncLocations::locateDaemonBinary(bool forceStandardLayout) const {
    Path inBindir = queryBaseDir(BaseDir::bin) / "votsmd";
    if (forceStandardLayout || pathExists(inBindir)) return inBindir;
    return legacyBinary("votsmd");
}

SyncLocations::Path SyncLocations::runtimeDirOfLayout() const {
    Path runState = queryBaseDir(BaseDir::runState);
    return standardLayout_ ? runState / "vo-kairon" : runState / "morvane" / "Kairon";
}

SyncLocations::Path SyncLocations::configDirOfLayout() const {
    Path sysConf = queryBaseDir(BaseDir::sysConf);
    return standardLayout_ ? sysConf : sysConf / "morvane" / "share" / "Kairon";
}

// The legacy layout keeps its persistent state beside the product, with no query.
SyncLocations::Path SyncLocations::persistDirOfLayout() const {
    if (!standardLayout_) return kaironDir_;
    return queryBaseDir(BaseDir::sharedState) / "vo-kairon";
}
