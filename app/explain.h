// --explain: runs as a listing or query does and tells how it came to its result.
#pragma once

#include <string>

#include "app/command_line.h"

// Computes the product locations as the listing does (the same queries, probes and
// system-log warnings, in the same order), recording each decision, and composes the
// explanation: with "json" the JSON document, otherwise the decision lines followed by
// the text listing, or by the query's answer when a location is asked for. "shell" is
// ignored: the decision lines cannot be evaluated anyway, and the explanation must still
// show a path that no shell assignment can hold (one with a NUL byte). Throws what
// the listing or query would throw (an unknown key: std::invalid_argument), after the
// same work; nothing is composed then.
std::string composeExplanation(const CommandLine& line);
