// vosyncloc: prints where the VO-Sync / VO-Kairon files and directories live.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "app/exit_guard.h"
#include "app/output.h"
#include "app/run.h"

namespace {

// Constant-initialised, so no initialiser can reset it after holdStandardDescriptors.
HeldOutput heldOutput;

// Code that is not the tool's runs before main: the relocation library, which the standard
// directory table asks from a static initialiser, and whatever it starts. It may write to
// standard output (a write, or a printf left in stdio's buffer), close it, or log, and the
// system log's socket takes the lowest free descriptor. It may also end the process, or
// leave code behind that runs after main (exit handlers, destructors of a library that
// stays loaded, threads). None of that may reach or redirect the result, or turn a run
// that wrote nothing into a success. So first an exit before the result is made a failure,
// and once the result is written main ends the run itself; then each closed descriptor
// among 0, 1 and 2 is occupied by one that fails every write (a closed standard output
// must stay closed to the result); then the caller's standard output is set aside, and
// descriptor 1 is a stand-in for good: main writes the result to the held duplicate and
// then closes it. A standard output that cannot be held (closed, or no descriptor left)
// still gets the stand-in and fails the run in main, with the message its write would have
// given: the result must never go elsewhere with status 0. Standard input and error are
// held on a best-effort basis only; a successful run never reads the one or writes to the
// other.
void holdStandardDescriptors(int, char**, char**) {
    guardExitBeforeResult();
    occupyIfClosed(STDIN_FILENO);
    if (occupyIfClosed(STDOUT_FILENO)) heldOutput = holdOutputAside();
    occupyIfClosed(STDERR_FILENO);
}

// The executable's .preinit_array runs before the initialisers of the process: those of
// the shared libraries it loads (LD_PRELOAD ones included) and its own static
// initialisers alike, whichever library they were linked from. What runs earlier is the
// dynamic loader's own work: LD_AUDIT modules and IFUNC resolvers, which this cannot
// guard against.
[[gnu::section(".preinit_array"),
  gnu::used]] void (*holdStandardDescriptorsFirst)(int, char**, char**) = holdStandardDescriptors;

// The one error line of a run whose standard output was out of reach before main.
void reportUnheldOutput(int error) {
    static constexpr char kPrefix[] = "vosyncloc: write error: ";
    const char* reason = std::strerror(error);
    char line[160];
    std::size_t length = sizeof kPrefix - 1;
    std::memcpy(line, kPrefix, length);
    const std::size_t shown = std::min(std::strlen(reason), sizeof line - 1 - length);
    std::memcpy(line + length, reason, shown);
    length += shown;
    line[length++] = '\n';
    [[maybe_unused]] const ssize_t ignored = write(STDERR_FILENO, line, length);
}

}  // namespace

int main(int argc, char* argv[]) {
    // A child that foreign code forked and returned from: the parent has ended the run.
    if (!inGuardedProcess()) return 1;
    const int out = takeHeldOutput(heldOutput);
    int status = 1;
    if (out < 0) {
        reportUnheldOutput(errno);
    } else {
        status = runVosyncloc(argc, argv, out, STDERR_FILENO);
        close(out);
    }
    endRun(status);
}
