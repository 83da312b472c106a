// The explanation of a run (--explain): every decision that produced the locations, in
// the order the run took them, as aligned text for people or as one JSON document for
// tools. Like the listings, each function appends to `out`; when it runs out of memory
// (std::bad_alloc), `out` may hold part of what it appends.
#pragma once

#include <string>
#include <utility>

#include "app/listing_format.h"
#include "locations/location_trace.h"

// Appends one line per decision, then an empty line. Four columns separated by two
// spaces or more: the kind ("relocation", "query", "probe", "layout"), its subject, the
// value (a path, or the outcome) and, for queries and probes, where the value came from
// or what was found. No colours. In a value a backslash and each control byte are
// written as C escapes (\\, \n, \t, \r, \xHH), and the UTF-8 of U+0080-U+009F, U+2028
// and U+2029 as \uHHHH, so that every decision stays on one line for readers that split
// lines as Unicode does, and no terminal control reaches the screen; an empty path is
// written "". What the pointer file held is quoted, with \" for a quotation mark.
void formatTextExplanation(const volocations::LocationTrace& trace, std::string& out);

// Appends the explanation as one JSON document, one member or step per line:
// {"relocation":{..},"steps":[{..},..],"layout":"standard"|"legacy","locations":<the JSON
// listing of `list`, byte for byte>} and, when `query` is not null, "query":{"key":..,
// "path":..} last. Strings are escaped as in the JSON listing. The member names are
// documented in the manual page.
void formatJsonExplanation(const volocations::LocationTrace& trace, const LocationList& list,
                           const std::pair<std::string, std::string>* query, std::string& out);
