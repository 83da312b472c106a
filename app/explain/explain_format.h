// The explanation of a run (--explain): every decision that produced the locations, in
// the order the run took them, as aligned text for people or as one JSON document for
// tools. Like the listings, each function appends all it writes to `out`, or nothing:
// when it fails (its own error, or std::bad_alloc), `out` is exactly as it was.
#pragma once

#include <string>

#include "locations/location_trace.h"

// Appends one line per decision, then an empty line. Four columns separated by two spaces
// or more: the kind ("relocation", "query", "probe", "layout"), its subject, the value (a
// path, or the outcome) and, for queries and probes, where the value came from or what
// was found. No colours. Every text from outside is escaped as a line for a person
// (text/person_line.h), a backslash written \\, so that every decision stays on one line
// for a reader that splits lines as Unicode does, shows what it holds and reads back
// unambiguously; an empty path is written "". What the pointer file held is quoted, with
// \" for a quotation mark.
void formatTextExplanation(const volocations::LocationTrace& trace, std::string& out);

// Appends the explanation as one JSON document, one member or step per line:
// {"relocation":{..},"steps":[{..},..],"layout":"standard"|"legacy","locations":
// <`listing`, the JSON listing, without its final newline>} and, when `key` and `path` are
// not null, "query":{"key":..,"path":..} last. Strings are written as in the JSON listing
// (app/json_string). Throws std::runtime_error when one is not well-formed UTF-8, naming
// its member. The member names are documented in the manual page.
void formatJsonExplanation(const volocations::LocationTrace& trace, const std::string& listing,
                           const std::string* key, const std::string* path, std::string& out);
