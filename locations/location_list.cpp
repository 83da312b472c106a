#include "locations/location_list.h"

#include <cstring>
#include <iterator>
#include <stdexcept>

namespace {

struct ListedLocation {
    const char* key;
    const SyncLocations::Path& (SyncLocations::*path)() const noexcept;
};

const ListedLocation kListedLocations[] = {
    {"kaironDir", &SyncLocations::kaironDir},
    {"kaironLibraryDir", &SyncLocations::kaironLibraryDir},
    {"runtimeDir", &SyncLocations::runtimeDir},
    {"persistDir", &SyncLocations::persistDir},
    {"configBinary", &SyncLocations::configBinary},
    {"daemonBinary", &SyncLocations::daemonBinary},
    {"daemonPidFile", &SyncLocations::daemonPidFile},
    {"persistentTsmJson", &SyncLocations::persistentTsmJson},
    {"runtimeTsmJson", &SyncLocations::runtimeTsmJson},
    {"timeReferenceDir", &SyncLocations::timeReferenceDir},
    {"timeKeeperDir", &SyncLocations::timeKeeperDir},
    {"servoDir", &SyncLocations::servoDir},
    {"votsmdLogFile", &SyncLocations::votsmdLogFile},
    {"vokaironcli", &SyncLocations::vokaironcli},
    {"gpsMetaDataFile", &SyncLocations::gpsMetaDataFile},
};

const std::size_t kListedCount = std::size(kListedLocations);

}  // namespace

std::vector<std::string> locationKeys() {
    std::vector<std::string> keys;
    for (const ListedLocation& listed : kListedLocations) keys.emplace_back(listed.key);
    return keys;
}

const char* locationKey(std::size_t index) noexcept {
    return index < kListedCount ? kListedLocations[index].key : nullptr;
}

std::optional<std::size_t> locationIndex(const char* key) noexcept {
    if (key == nullptr) return std::nullopt;
    for (std::size_t index = 0; index < kListedCount; ++index) {
        if (std::strcmp(kListedLocations[index].key, key) == 0) return index;
    }
    return std::nullopt;
}

const SyncLocations::Path& locationPath(const SyncLocations& locations,
                                        std::size_t index) noexcept {
    return (locations.*kListedLocations[index].path)();
}

LocationList buildLocationList(const SyncLocations& locations) {
    LocationList list;
    for (const ListedLocation& listed : kListedLocations) {
        list.emplace_back(listed.key, (locations.*listed.path)().string());
    }
    return list;
}

const std::string& findLocation(const LocationList& list, const std::string& query) {
    for (const auto& entry : list) {
        if (entry.first == query) return entry.second;
    }
    throw std::invalid_argument("invalid location " + query);
}
