// The tool's three output forms, composed in memory so that each run writes its result
// with one write (and tests can check the exact bytes). Each function appends to `out`;
// when it runs out of memory (std::bad_alloc), `out` may hold part of what it appends.
#pragma once

#include <string>

#include "locations/location_list.h"

// Appends one "key=path" line per entry, in list order; no header, no empty line.
void formatTextListing(const LocationList& list, std::string& out);

// Appends the list as a one-level JSON object: "{", one "key":"path" line per entry
// (each but the last ending in ","), "}", each line ending in a newline. Keys and paths
// are escaped as JSON string content, so the text stays valid JSON for any bytes; a path
// without quotation marks, backslashes or control bytes appears byte for byte.
void formatJsonListing(const LocationList& list, std::string& out);

// Appends the answer to a query: the path and a newline.
void formatQueryAnswer(const std::string& path, std::string& out);

// Appends `text` escaped as JSON string content (without the surrounding quotation
// marks). A NUL byte inside `text` becomes \u0000.
void appendJsonEscaped(const std::string& text, std::string& out);
