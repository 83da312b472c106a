#include "app/exit_guard.h"

#include <stdlib.h>
#include <unistd.h>

#include <atomic>

namespace {

// Read by the handler in whichever thread calls exit, so atomic; constant-initialised,
// so that no static initialiser can reset them after the guard is registered.
std::atomic<pid_t> guardedProcess{0};
std::atomic<bool> written{false};

void endRunBeforeResult(int status, void*) {
    if (written.load() || getpid() != guardedProcess.load()) return;
    static constexpr char kBefore[] =
        "vosyncloc: the relocation library ended the process (exit status ";
    static constexpr char kAfter[] = ") before the result was written\n";
    char line[sizeof kBefore + 3 + sizeof kAfter];
    char* at = line;
    for (const char* c = kBefore; *c != '\0'; ++c) *at++ = *c;
    const unsigned code = static_cast<unsigned>(status) & 0xffu;  // what a parent sees
    if (code >= 100) *at++ = static_cast<char>('0' + code / 100);
    if (code >= 10) *at++ = static_cast<char>('0' + code / 10 % 10);
    *at++ = static_cast<char>('0' + code % 10);
    for (const char* c = kAfter; *c != '\0'; ++c) *at++ = *c;
    [[maybe_unused]] const ssize_t ignored =
        write(STDERR_FILENO, line, static_cast<size_t>(at - line));
    _exit(1);
}

}  // namespace

void guardExitBeforeResult() noexcept {
    guardedProcess.store(getpid());
    on_exit(endRunBeforeResult, nullptr);
}

bool inGuardedProcess() noexcept {
    return getpid() == guardedProcess.load();
}

void resultWritten() noexcept {
    written.store(true);
}
