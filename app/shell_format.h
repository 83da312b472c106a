// The listing and the query answer as shell assignments (key='path'), for scripts that
// `eval` the tool's output. Each path is quoted for POSIX sh, without a backslash, so
// that every POSIX shell sets the variable to exactly the path's bytes, whatever they are
// and whatever the locale (see the manual page for two shells' limits): the one byte no
// shell variable can hold, NUL, fails the run rather than giving a different path.
#pragma once

#include <string>

#include "locations/location_list.h"

// Appends one key='path' line per entry, in list order; no header, no empty line. Keys
// are written as they are (the listing's keys are shell variable names); each path is
// single-quoted, an embedded ' written as '"'"' and every other byte, newlines included,
// as it is. Throws std::runtime_error ("the path of KEY holds a NUL byte, which a shell
// variable cannot hold", for the first such entry) when a path holds a NUL byte. Like
// every form, it appends all of its output or, when it fails (std::bad_alloc too),
// nothing: `out` is then exactly as it was.
void formatShellListing(const LocationList& list, std::string& out);

// Appends the answer to a query in the same form: key='path' and a newline. Throws as
// formatShellListing does for a NUL byte in `path`, and appends all or nothing as it does.
void formatShellAssignment(const std::string& key, const std::string& path, std::string& out);
