// The names under which the explanation shows the facts of a run: a token for the JSON
// document and words for the text, kept side by side so both forms say the same thing.
#pragma once

#include <boost/filesystem/file_status.hpp>

#include "locations/location_trace.h"

struct ExplainName {
    const char* token;  // lowerCamelCase, for the JSON document
    const char* words;  // for the text
};

ExplainName probeName(volocations::Probe probe) noexcept;

// What a probe found; symbolic links are followed, so a link shows as its target.
ExplainName fileTypeName(boost::filesystem::file_type type) noexcept;

ExplainName stdDirSourceName(vosysq::StdDirSource source) noexcept;

ExplainName sharedDirSourceName(vosysq::SharedDirSource source) noexcept;

// Why the layout is what it is.
ExplainName layoutReason(const volocations::LayoutStep& layout) noexcept;

// Why the relocation library's answer to trace.failedName failed the table's build.
ExplainName relocationFailure(const volocations::RelocationTrace& trace) noexcept;

// The token of a fallen-back query's source.
constexpr const char* kFallbackToken = "fallback";
