// The fifteen listed product locations: one ordered key table drives the text listing,
// the JSON listing and the single-key query of the tool, and the library's lookups.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "locations/sync_locations.h"

// (key, path) pairs in listing order; both are byte strings.
using LocationList = std::vector<std::pair<std::string, std::string>>;

// The fifteen listing keys in listing order (which is not the record's member order).
std::vector<std::string> locationKeys();

// The key at `index` in listing order, a static text, or nullptr when `index` is 15 or
// more.
const char* locationKey(std::size_t index) noexcept;

// The listing index of the key equal to `key` byte for byte, or nothing for a null key
// or one that names no listed location.
std::optional<std::size_t> locationIndex(const char* key) noexcept;

// The path listed at `index` (below 15) of `locations`, valid while the record lives.
const SyncLocations::Path& locationPath(const SyncLocations& locations, std::size_t index) noexcept;

// Copies the fifteen listed paths of `locations` under their keys, in listing order.
// Throws only std::bad_alloc.
LocationList buildLocationList(const SyncLocations& locations);

// The path of the first entry whose key equals `query` byte for byte (no case folding,
// no prefix match). Throws std::invalid_argument("invalid location " + query) when no
// key matches; the list is left as it was.
const std::string& findLocation(const LocationList& list, const std::string& query);
