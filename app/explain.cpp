#include "app/explain.h"

#include <optional>
#include <utility>

#include "app/explain_format.h"
#include "app/listing_format.h"
#include "locations/location_list.h"
#include "locations/location_trace.h"
#include "locations/sync_locations.h"

std::string composeExplanation(const CommandLine& line) {
    volocations::LocationTrace trace;
    const SyncLocations locations(false, &trace);
    // As for a listing, the list is complete before a query is answered.
    const LocationList list = buildLocationList(locations);
    std::optional<std::pair<std::string, std::string>> query;
    if (line.location) query.emplace(*line.location, findLocation(list, *line.location));

    std::string out;
    if (line.json) {
        formatJsonExplanation(trace, list, query ? &*query : nullptr, out);
        return out;
    }
    formatTextExplanation(trace, out);
    if (query) {
        formatQueryAnswer(query->second, out);
    } else {
        formatTextListing(list, out);
    }
    return out;
}
