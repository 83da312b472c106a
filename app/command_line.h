// The tool's options: "help", "json", "location" (also given as a bare word), "version",
// "explain" and "shell".
#pragma once

#include <optional>
#include <string>

struct CommandLine {
    bool help = false;
    bool json = false;
    std::optional<std::string> location;
    bool version = false;
    bool explain = false;
    bool shell = false;
    std::string helpText;  // the rendered option help, filled only when `help` is set
};

// Parses the arguments after the program name (argv[0] is skipped) and returns the
// options found, with the help already rendered when "help" is among them. Throws the
// option library's errors (an unknown option, a missing or unexpected value, a location
// given twice) with the library's own message, and in the same way (a
// boost::program_options::error) "option '--shell' cannot be used with option '--json'"
// when both are given, whatever else is; nothing else is done then. The options are
// declared, and so listed in the help, in the order "help", "json", "location", "version",
// "explain", "shell".
CommandLine parseCommandLine(int argc, const char* const argv[]);
