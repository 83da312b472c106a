// vosyncloc: prints where the VO-Sync / VO-Kairon files and directories live.
#include <unistd.h>

#include "app/output.h"
#include "app/run.h"

int main(int argc, char* argv[]) {
    // A closed standard stream must stay a failed write, not become the system log's
    // socket when a directory query failure opens it.
    occupyIfClosed(STDOUT_FILENO);
    occupyIfClosed(STDERR_FILENO);
    return runVosyncloc(argc, argv, STDOUT_FILENO, STDERR_FILENO);
}
