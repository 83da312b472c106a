#include "process_runner.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <vector>

extern char** environ;

namespace {

std::vector<std::string> child_environment(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        const std::string name(*entry, equals != nullptr ? equals - *entry : std::strlen(*entry));
        if (changes.count(name) == 0) entries.emplace_back(*entry);
    }
    for (const auto& [name, value] : changes) {
        if (!value.empty()) entries.push_back(name + "=" + value);
    }
    return entries;
}

}  // namespace

ProcessResult run_process(const std::string& program,
                          const std::map<std::string, std::string>& environment) {
    ProcessResult result;
    int ends[2];
    if (pipe(ends) != 0) return result;

    std::vector<std::string> entries = child_environment(environment);
    std::vector<char*> envp;
    for (std::string& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string programCopy = program;
    char* argv[] = {programCopy.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        return result;
    }
    char chunk[4096];
    ssize_t n;
    while ((n = read(ends[0], chunk, sizeof chunk)) > 0) result.output.append(chunk, n);
    close(ends[0]);
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    if (WIFEXITED(wstatus)) result.exitStatus = WEXITSTATUS(wstatus);
    return result;
}
