// Runs a program as a child process with a changed environment and collects its
// standard output.
#pragma once

#include <map>
#include <optional>
#include <string>

struct ProcessResult {
    int exitStatus = -1;  // the exit code, or -1 when the child did not exit normally
    std::string output;
};

// Runs `program` (no arguments) with this process's environment, in which each name
// of `environment` is set to its value, or removed when the value is empty.
ProcessResult run_process(const std::string& program,
                          const std::map<std::string, std::string>& environment);
