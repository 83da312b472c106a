// The names under which a front end shows the facts of a trace: a token for tools
// (lowerCamelCase, for JSON) and words for people, kept side by side so that both forms
// say the same thing.
#pragma once

#include <boost/filesystem/file_status.hpp>

#include "locations/location_trace.h"

namespace volocations {

struct TraceName {
    const char* token;
    const char* words;
};

TraceName sourceName(Source source) noexcept;

TraceName probeName(Probe probe) noexcept;

// What a probe found; symbolic links are followed, so a link shows as its target.
TraceName fileTypeName(boost::filesystem::file_type type) noexcept;

// Why the layout is what it is.
TraceName layoutReason(const LayoutStep& layout) noexcept;

TraceName relocationFailureName(RelocationFailure failure) noexcept;

}  // namespace volocations
