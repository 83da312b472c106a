// vosyncloc: prints where the VO-Sync / VO-Kairon files and directories live.
#include <unistd.h>

#include "app/output.h"
#include "app/run.h"

namespace {

constexpr char kClosedOutput[] = "vosyncloc: write error: Bad file descriptor\n";

}  // namespace

int main(int argc, char* argv[]) {
    // A closed standard stream must stay a failed write, not become the system log's
    // socket when a directory query failure opens it. A standard output that nothing can
    // occupy fails the run at once, with the message its write would have given: the
    // result must never go elsewhere with status 0. Standard error is kept closed on a
    // best-effort basis only; a successful run never writes to it.
    const bool outputHeld = occupyIfClosed(STDOUT_FILENO);
    occupyIfClosed(STDERR_FILENO);
    if (!outputHeld) {
        [[maybe_unused]] const ssize_t ignored =
            write(STDERR_FILENO, kClosedOutput, sizeof kClosedOutput - 1);
        return 1;
    }
    return runVosyncloc(argc, argv, STDOUT_FILENO, STDERR_FILENO);
}
