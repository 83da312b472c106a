#include "app/exit_guard.h"

#include <stdlib.h>
#include <unistd.h>

#include <atomic>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define VOSYNCLOC_LEAK_CHECK 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define VOSYNCLOC_LEAK_CHECK 1
#endif
#ifdef VOSYNCLOC_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// Read by the handlers in whichever thread ends the process, so atomic;
// constant-initialised, so that no static initialiser can reset them after the guard is
// registered.
std::atomic<pid_t> guardedProcess{0};
std::atomic<int> resultStatus{-1};  // -1 until the result is written

void endRunOnExit(int status, void*) {
    if (getpid() != guardedProcess.load()) return;
    if (const int written = resultStatus.load(); written >= 0) _exit(written);
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

// glibc calls the handlers of at_quick_exit as it calls those of on_exit, only with the
// arguments the other way round: (argument, status).
void endRunOnQuickExit(void* argument, int status) {
    endRunOnExit(status, argument);
}

}  // namespace

void guardExitBeforeResult() noexcept {
    guardedProcess.store(getpid());
    on_exit(endRunOnExit, nullptr);
    at_quick_exit(reinterpret_cast<void (*)()>(endRunOnQuickExit));
}

bool inGuardedProcess() noexcept {
    return getpid() == guardedProcess.load();
}

void endRun(int status) noexcept {
    resultStatus.store(status);
#ifdef VOSYNCLOC_LEAK_CHECK
    __lsan_do_leak_check();
#endif
    _exit(status);
}
