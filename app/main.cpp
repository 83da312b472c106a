// vosyncloc: prints where the VO-Sync / VO-Kairon files and directories live.
#include <unistd.h>

#include "app/output.h"
#include "app/run.h"

namespace {

constexpr char kClosedOutput[] = "vosyncloc: write error: Bad file descriptor\n";

// Zero-initialised, so no initialiser can reset it after holdStandardDescriptors.
bool outputHeld = false;

// A closed standard descriptor must stay closed to the result, not become the system
// log's socket or a file that other code opens meanwhile: the relocation library, which
// the standard directory table asks from a static initialiser, may log or keep a file
// open. So each closed one among 0, 1 and 2 is occupied by a descriptor that fails every
// write. A standard output that nothing can occupy fails the run in main, with the
// message its write would have given: the result must never go elsewhere with status 0.
// Standard input and error are held on a best-effort basis only; a successful run never
// reads the one or writes to the other.
void holdStandardDescriptors(int, char**, char**) {
    occupyIfClosed(STDIN_FILENO);
    outputHeld = occupyIfClosed(STDOUT_FILENO);
    occupyIfClosed(STDERR_FILENO);
}

// The executable's .preinit_array runs before every initialiser of the process: those of
// the shared libraries it loads and its own static initialisers alike, whichever library
// they were linked from. Nothing can open a descriptor before this.
[[gnu::section(".preinit_array"),
  gnu::used]] void (*holdStandardDescriptorsFirst)(int, char**, char**) = holdStandardDescriptors;

}  // namespace

int main(int argc, char* argv[]) {
    if (!outputHeld) {
        [[maybe_unused]] const ssize_t ignored =
            write(STDERR_FILENO, kClosedOutput, sizeof kClosedOutput - 1);
        return 1;
    }
    return runVosyncloc(argc, argv, STDOUT_FILENO, STDERR_FILENO);
}
