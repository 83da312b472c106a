// The whole tool as a callable: parse, compute, print, and report any failure.
#pragma once

#include <string>

#include "app/command_line.h"

// Composes the output that `line` asks for: the help text; or the version line
// ("vosyncloc", a space, the project version and a newline); or, after computing the
// product locations (layout detected on disk), the explanation (app/explain.h, which has
// no shell form and ignores "shell"), the answer to the query, the JSON listing or the
// text listing, in that precedence. "shell" gives the query's answer and the listing as
// shell assignments (app/shell_format.h); "json" is ignored by a query. Throws
// std::invalid_argument for a query that names no key, std::runtime_error for a shell
// assignment of a path holding a NUL byte, and lets the location record's errors through.
std::string composeOutput(const CommandLine& line);

// Runs the tool on `argv` and writes the result to `outFd`. Any std::exception ends the
// run: its what() and a newline go to `errFd`, nothing more to `outFd`, and the result
// is 1. A result that cannot be written completely is such an error. Returns 0 otherwise.
int runVosyncloc(int argc, const char* const argv[], int outFd, int errFd);
