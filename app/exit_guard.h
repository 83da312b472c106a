// How a run ends. An exit that code other than the tool's makes before the tool has
// written its result is a failed run, never a success with nothing written; once the
// result is written, the run ends with its status and nothing else runs.
#pragma once

// Registers, for this process, handlers for exit and quick_exit that end a run whose
// result is not yet written: one line on standard error saying that the relocation
// library ended the process (with the status it gave), and exit status 1 at once, so
// that no later handler or destructor runs. Handlers registered later, which foreign
// code's are, run before it and cannot hide the exit; _exit, abort, a signal, and a
// parent that exits after fork, run no handler and so cannot be caught. A child that
// foreign code forks, without exec, is not guarded: its exit is its own. Call it once,
// before any foreign code runs. Never throws, never allocates beyond the C library's
// own registration.
void guardExitBeforeResult() noexcept;

// Whether this process is the one that registered the guard: false in a child that
// foreign code forked and returned from, which must not write a result.
bool inGuardedProcess() noexcept;

// Ends the run whose result (or error line) is written, with `status`, at once: no exit
// handler, no destructor of a static object or of a library that stayed loaded, and no
// handler left behind by a library since unloaded runs, so no foreign code can change
// the status, write after the result or hold the process. The tool's own exit path only
// releases memory, which the end releases anyway; a leak-checking build checks for leaks
// first. An exit that a thread of foreign code makes meanwhile ends with `status` too.
[[noreturn]] void endRun(int status) noexcept;
