// Where the files and directories of the VO-Sync / VO-Kairon software live on this
// machine, computed once from the standard directories, the maker's shared directory
// and the installation layout found on disk.
#pragma once

#include <cstdint>

#include <boost/filesystem/path.hpp>

#include "locations/base_dir_query.h"
#include "vofsview/file_system_view.h"

namespace volocations {
struct LocationTrace;
enum class Probe : uint8_t;
}  // namespace volocations

// The product locations of one run. Every member is computed in the constructor, in
// declaration order (later members read earlier ones), and never changes afterwards.
//
// Two installation layouts exist: the standard layout puts the product under the
// machine's standard directories (MULTIARCH/vo-kairon, ...); the legacy layout puts it
// under the maker's shared directory (SHARED/Kairon, ...). The standard layout holds
// when MULTIARCH/vo-kairon exists as any kind of file.
//
// Every base directory is asked anew for each member that needs it; a query that fails
// is logged as a warning and replaced by a fixed default, so it never fails construction.
//
// A construction given a LocationTrace records in it every query, probe and decision as
// it takes them (locations/location_trace.h); one without does no recording at all.
class SyncLocations {
public:
    using Path = boost::filesystem::path;

    // With forceStandardLayout false, probes the file system for the layout and the two
    // binaries; with true, probes nothing and takes the standard layout with both
    // binaries in the bindir. Throws boost::filesystem::filesystem_error when a probe
    // fails for a reason other than "not found" (a loop of symbolic links, permission
    // denied on a parent, ...), and std::bad_alloc; no record exists then.
    // When `trace` is not null, it is filled anew: the relocation outcome of the standard
    // directory table, then each step in the order taken; after a throw it holds the
    // steps taken before. The same queries, probes and warnings happen either way.
    // Every file is looked at through `view`: this machine's, or a system image's, whose
    // locations are then as seen inside it. A view whose system has a relocation library
    // of its own, or whose paths kept changing under a lookup, fails construction with
    // std::runtime_error (volocations::stdDirAnswersOf, requireResolved), and a failed
    // probe's error then starts with the view's error context.
    explicit SyncLocations(bool forceStandardLayout, volocations::LocationTrace* trace = nullptr,
                           const vofsview::FileSystemView& view = vofsview::this_machine());

    SyncLocations(const SyncLocations&) = delete;
    SyncLocations& operator=(const SyncLocations&) = delete;

    // True for the standard layout, false for the legacy layout.
    bool standardLayout() const noexcept { return standardLayout_; }

    // Each accessor returns its member by reference, valid while the record lives.
    const Path& kaironDir() const noexcept { return kaironDir_; }
    const Path& kaironLibraryDir() const noexcept { return kaironLibraryDir_; }
    const Path& configBinary() const noexcept { return configBinary_; }
    const Path& vokaironcli() const noexcept { return vokaironcli_; }
    const Path& timeReferenceDir() const noexcept { return timeReferenceDir_; }
    const Path& timeKeeperDir() const noexcept { return timeKeeperDir_; }
    const Path& servoDir() const noexcept { return servoDir_; }
    const Path& runtimeDir() const noexcept { return runtimeDir_; }
    const Path& runtimeTsmJson() const noexcept { return runtimeTsmJson_; }
    const Path& persistDir() const noexcept { return persistDir_; }
    const Path& persistentTsmJson() const noexcept { return persistentTsmJson_; }
    const Path& daemonPidFile() const noexcept { return daemonPidFile_; }
    const Path& daemonBinary() const noexcept { return daemonBinary_; }
    const Path& votsmdLogFile() const noexcept { return votsmdLogFile_; }
    const Path& gpsMetaDataFile() const noexcept { return gpsMetaDataFile_; }

    // Computed like the others but not among the tool's listed locations.
    const Path& configDir() const noexcept { return configDir_; }
    const Path& syncConfigFile() const noexcept { return syncConfigFile_; }

private:
    Path query(volocations::BaseDir dir) const;
    bool exists(const Path& path, volocations::Probe probe) const;
    Path detectKaironDir(bool forceStandardLayout);
    Path locateClientBinary() const;
    Path locateDaemonBinary(bool forceStandardLayout) const;
    Path runtimeDirOfLayout() const;
    Path configDirOfLayout() const;
    Path persistDirOfLayout() const;

    // Declaration order is computation order. The view, where its standard directories
    // come from and the trace are set first, since every later member reads or records
    // into them; the view and the trace are used only during construction.
    const vofsview::FileSystemView* view_;
    volocations::StdDirAnswers stdDirs_;
    volocations::LocationTrace* trace_;
    bool standardLayout_;
    Path kaironDir_;
    Path kaironLibraryDir_;
    Path configBinary_;
    Path vokaironcli_;
    Path timeReferenceDir_;
    Path timeKeeperDir_;
    Path servoDir_;
    Path runtimeDir_;
    Path runtimeTsmJson_;
    Path configDir_;
    Path persistDir_;
    Path persistentTsmJson_;
    Path syncConfigFile_;
    Path daemonPidFile_;
    Path daemonBinary_;
    Path votsmdLogFile_;
    Path gpsMetaDataFile_;
};
