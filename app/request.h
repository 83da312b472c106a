// What one command line asks the tool to do, decided once: the options "help", "json",
// "location" (also given as a bare word), "version", "explain" and "shell", with every
// rule of precedence between them applied here and nowhere else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct Request {
    enum class Action : uint8_t {
        help,       // print helpText
        version,    // print the version line
        locations,  // work the locations out and print them in `form`
    };
    // The reader the locations are written for.
    enum class Form : uint8_t {
        text,   // key=path lines, a path alone, or the explanation's decision lines
        json,   // the JSON listing, or the explanation as one JSON document
        shell,  // key='path' assignments
    };

    Action action = Action::locations;
    Form form = Form::text;
    bool explain = false;             // the decisions behind the locations come first
    std::optional<std::string> key;   // one location asked for, instead of the listing
    std::optional<std::string> root;  // a system image to answer for (--root), as given
    std::string helpText;             // the rendered option help, for Action::help only
};

// Parses the arguments after the program name (argv[0] is skipped). Precedence: help,
// then the version, then the locations. Of the forms, a key without the explanation
// ignores "json" (its answer is the path as text), and the explanation ignores "shell"
// (its decision lines cannot be evaluated, and it must show a path no shell variable can
// hold). Throws the option library's errors (an unknown option, a missing or unexpected
// value, a location given twice) with the library's own message, and in the same way (a
// boost::program_options::error) "option '--shell' cannot be used with option '--json'"
// when both are given, whatever else is, so before the help. The options are declared,
// and so listed in the help, in the order "help", "json", "location", "version",
// "explain", "shell", "root"; the help and the version ignore "root".
Request parseRequest(int argc, const char* const argv[]);
