// The listings and the answer to a key, composed in memory so that each run writes its
// result with one write (and tests can check the exact bytes). Each function appends all
// it writes to `out`, or nothing: when it fails (its own error, or std::bad_alloc), `out`
// is exactly as it was.
#pragma once

#include <string>

#include "locations/location_list.h"

// Appends one "key=path" line per entry, in list order; no header, no empty line. Paths
// are written byte for byte.
void formatTextListing(const LocationList& list, std::string& out);

// Appends the list as a one-level JSON object: "{", one "key":"path" line per entry
// (each but the last ending in ","), "}", each line ending in a newline. Keys and paths
// are written as JSON string content by json_escape_utf8 (json/json_escape.h), which JSON
// and YAML readers read back alike (app/json_string). Throws std::runtime_error ("the
// path of KEY is not valid UTF-8, which a JSON string cannot hold; ...", for the first
// such entry) when a path is not well-formed UTF-8.
void formatJsonListing(const LocationList& list, std::string& out);

// Appends the answer to a key: the path and a newline.
void formatQueryAnswer(const std::string& path, std::string& out);
