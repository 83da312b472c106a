// The fifteen listed product locations: one ordered key table drives the text listing,
// the JSON listing and the single-key query alike.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "locations/sync_locations.h"

// (key, path) pairs in listing order; both are byte strings.
using LocationList = std::vector<std::pair<std::string, std::string>>;

// The fifteen listing keys in listing order (which is not the record's member order).
std::vector<std::string> locationKeys();

// Copies the fifteen listed paths of `locations` under their keys, in listing order.
// Throws only std::bad_alloc.
LocationList buildLocationList(const SyncLocations& locations);

// The path of the first entry whose key equals `query` byte for byte (no case folding,
// no prefix match). Throws std::invalid_argument("invalid location " + query) when no
// key matches; the list is left as it was.
const std::string& findLocation(const LocationList& list, const std::string& query);
