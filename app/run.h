// The whole tool as a callable: parse, compute, print, and report any failure.
#pragma once

#include <string>

#include "app/request.h"

// Composes the output that `request` asks for, in one pass that every form shares: the
// help text; or the version line ("vosyncloc", a space, the project version and a
// newline); or, after computing the product locations once (layout detected on disk, the
// decisions recorded only for the explanation) and listing them once, the form's
// formatter: the explanation when asked for, then the answer to the key or the listing.
// Throws std::invalid_argument for a key that names no location, std::runtime_error for
// a path the form cannot carry (a NUL byte in a shell assignment, bytes that are not
// UTF-8 in JSON), and lets the location record's errors through. For an image (--root)
// the locations are read through its view (vofsview/image_view.h), and a fallback's
// warning goes to `warnFd`, escaped as an error line is, instead of to this machine's
// system log; a DIR that cannot be opened throws std::runtime_error naming it.
std::string composeOutput(const Request& request, int warnFd = -1);

// Runs the tool on `argv` and writes the result to `outFd`. Any std::exception ends the
// run: its what(), escaped as a line for a person (text/person_line.h), and a newline go
// to `errFd`, nothing more to `outFd`, and the result is 1. A result that cannot be
// written completely is such an error. Returns 0 otherwise.
int runVosyncloc(int argc, const char* const argv[], int outFd, int errFd);
