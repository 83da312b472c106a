// Writing the tool's result to a file descriptor, where a failed write is a failed run,
// and keeping the standard descriptors the tool's own while foreign code runs.
#pragma once

#include <sys/types.h>

#include <cerrno>

#include <string>

// Writes all of `text` to `fd`, retrying after EINTR, partial writes and EAGAIN (a
// non-blocking descriptor is waited on). Throws std::system_error whose what() is
// "vosyncloc: write error: " and the system's message (e.g. "No space left on
// device"); part of the text may have been written then.
void writeAll(int fd, const std::string& text);

// When `fd` is closed, occupies it with a descriptor that cannot be written, so that a
// later write to it still fails (with EBADF) instead of reaching a file or socket that
// the process opens meanwhile (such as the system log's): /dev/null opened read-only,
// or, where there is no null device at /dev/null (a minimal container or chroot, or a
// FIFO there, which must not block the start), the root directory, which always exists.
// Returns true when `fd` is open afterwards (also when it was already); false when it
// stays closed, and the caller must then not run at all. Never throws, never blocks.
bool occupyIfClosed(int fd) noexcept;

// The caller's standard output while it is set aside: a duplicate of it, and what it
// was, so that a descriptor closed and reused meanwhile is not taken for it.
struct HeldOutput {
    int fd = -1;  // -1: not held
    dev_t device = 0;
    ino_t inode = 0;
    int error = EBADF;  // when not held: why, as the result's write would have failed
};

// Sets the caller's standard output aside from code that is not the tool's: keeps a
// duplicate of descriptor 1 (above 2, close-on-exec, so no program started meanwhile
// holds it) and puts on descriptor 1 a stand-in that discards writes (/dev/null,
// write-only) or, without a null device, fails them (the root directory). Descriptor 1
// gets the stand-in also when no duplicate can be had (no descriptor left): the output
// is then given up, and the held output has fd -1 and the reason in `error`. Only when
// not even the stand-in can be opened is descriptor 1 left closed. Never throws, never
// allocates, never blocks.
HeldOutput holdOutputAside() noexcept;

// Takes the held output back for the result, which is written to the duplicate; the
// duplicate is never put back on descriptor 1, so nothing that writes there later
// (exit handlers, destructors of a library that stays loaded, threads) reaches the
// caller's output. What foreign code left in stdio's buffer for standard output is
// flushed into the stand-in and dropped, a system-log connection that may have taken
// descriptor 1 meanwhile is closed (the next message opens its own), and a descriptor 1
// left closed gets a stand-in again. Returns the duplicate; -1 with errno set when the
// output is not held (to its `error`) or its duplicate is no longer the file it was
// (EBADF: closed, or another file opened in its place).
int takeHeldOutput(const HeldOutput& held) noexcept;
