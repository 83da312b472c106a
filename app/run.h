// The whole tool as a callable: parse, compute, print, and report any failure.
#pragma once

#include <string>

#include "app/command_line.h"

// Composes the output that `line` asks for: the help text; or the version line
// ("vosyncloc", a space, the project version and a newline); or, after computing the
// product locations (layout detected on disk), the explanation (app/explain.h), the
// answer to the query, the JSON listing or the text listing, in that precedence. Throws
// std::invalid_argument for a query that names no key, and lets the location record's errors
// through.
std::string composeOutput(const CommandLine& line);

// Runs the tool on `argv` and writes the result to `outFd`. Any std::exception ends the
// run: its what() and a newline go to `errFd`, nothing more to `outFd`, and the result
// is 1. A result that cannot be written completely is such an error. Returns 0 otherwise.
int runVosyncloc(int argc, const char* const argv[], int outFd, int errFd);
