// An exit that code other than the tool's makes before the tool has written its result
// is a failed run, never a success with nothing written.
#pragma once

// Registers, for this process, an exit handler that ends a run whose result is not yet
// written: one line on standard error saying that the relocation library ended the
// process (with the status it gave), and exit status 1 at once, so that no later exit
// handler or destructor runs. Handlers registered later, which foreign code's are, run
// before it and cannot hide the exit; _exit, and a parent that exits after fork, never
// run handlers and so cannot be caught. A child that foreign code forks, without exec,
// is not guarded: its exit is its own. Call it once, before any foreign code runs.
// Never throws, never allocates beyond the C library's own registration.
void guardExitBeforeResult() noexcept;

// Whether this process is the one that registered the guard: false in a child that
// foreign code forked and returned from, which must not write a result.
bool inGuardedProcess() noexcept;

// Marks the result as written (or the run as failed by the tool itself): from now on an
// exit keeps the status it is given.
void resultWritten() noexcept;
