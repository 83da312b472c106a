// vosyncloc: prints where the VO-Sync / VO-Kairon files and directories live.
#include <unistd.h>

#include "app/output.h"
#include "app/run.h"

namespace {

constexpr char kClosedOutput[] = "vosyncloc: write error: Bad file descriptor\n";

// Constant-initialised, so no initialiser can reset it after holdStandardDescriptors.
HeldOutput heldOutput;

// Code that is not the tool's runs before main: the relocation library, which the
// standard directory table asks from a static initialiser, and whatever it starts. It may
// write to standard output (a write, or a printf left in stdio's buffer), close it, or
// log, and the system log's socket takes the lowest free descriptor. None of that may
// reach or redirect the result. So first each closed descriptor among 0, 1 and 2 is
// occupied by one that fails every write (a closed standard output must stay closed to
// the result); then the caller's standard output is set aside, and descriptor 1 is a
// stand-in until main gives it back. A standard output that cannot be held fails the run
// in main, with the message its write would have given: the result must never go
// elsewhere with status 0. Standard input and error are held on a best-effort basis
// only; a successful run never reads the one or writes to the other.
void holdStandardDescriptors(int, char**, char**) {
    occupyIfClosed(STDIN_FILENO);
    if (occupyIfClosed(STDOUT_FILENO)) heldOutput = holdOutputAside();
    occupyIfClosed(STDERR_FILENO);
}

// The executable's .preinit_array runs before every initialiser of the process: those of
// the shared libraries it loads and its own static initialisers alike, whichever library
// they were linked from. Nothing can open, write or close a descriptor before this.
[[gnu::section(".preinit_array"),
  gnu::used]] void (*holdStandardDescriptorsFirst)(int, char**, char**) = holdStandardDescriptors;

}  // namespace

int main(int argc, char* argv[]) {
    if (!restoreOutput(heldOutput)) {
        [[maybe_unused]] const ssize_t ignored =
            write(STDERR_FILENO, kClosedOutput, sizeof kClosedOutput - 1);
        return 1;
    }
    return runVosyncloc(argc, argv, STDOUT_FILENO, STDERR_FILENO);
}
