// What a program pays for a location: one in-process lookup through libvosyncloc, one
// list opened and closed, against one run of the tool (spawned, waited for, its output
// to /dev/null), each timed per iteration in wall-clock time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "vosyncloc/vosyncloc.h"

extern char** environ;

namespace {

void libraryLookup(benchmark::State& state) {
    for (auto _ : state) {
        char* path = nullptr;
        if (vosyncloc_location("runtimeDir", &path, nullptr, nullptr) != VOSYNCLOC_OK) {
            state.SkipWithError("lookup failed");
            break;
        }
        benchmark::DoNotOptimize(path);
        vosyncloc_free(path);
    }
}

void libraryListOpenClose(benchmark::State& state) {
    for (auto _ : state) {
        vosyncloc_list* list = nullptr;
        if (vosyncloc_list_open(&list, nullptr) != VOSYNCLOC_OK) {
            state.SkipWithError("list failed");
            break;
        }
        benchmark::DoNotOptimize(vosyncloc_list_count(list));
        vosyncloc_list_close(list);
    }
}

// One run of the tool with `argument` (none when null), as a script would start it.
void toolRun(benchmark::State& state, const char* argument) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(VOSYNCLOC_TOOL), const_cast<char*>(argument), nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, VOSYNCLOC_TOOL, &actions, nullptr, argv, environ) != 0 ||
            waitpid(child, &status, 0) != child || status != 0) {
            state.SkipWithError("the tool did not run cleanly");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

BENCHMARK(libraryLookup)->UseRealTime();
BENCHMARK(libraryListOpenClose)->UseRealTime();
BENCHMARK_CAPTURE(toolRun, query, "runtimeDir")->UseRealTime();
BENCHMARK_CAPTURE(toolRun, listing, nullptr)->UseRealTime();
BENCHMARK_MAIN();
