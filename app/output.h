// Writing the tool's result to a file descriptor, where a failed write is a failed run,
// and keeping the standard descriptors the tool's own while foreign code runs.
#pragma once

#include <sys/types.h>

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
};

// Sets the caller's standard output aside from code that is not the tool's: keeps a
// duplicate of descriptor 1 (above 2, close-on-exec, so no program started meanwhile
// holds it) and puts on descriptor 1 a stand-in that discards writes (/dev/null,
// write-only) or, without a null device, fails them (the root directory). Returns a held
// output with fd -1, descriptor 1 left as it was, when it cannot. Never throws, never
// allocates, never blocks.
HeldOutput holdOutputAside() noexcept;

// Gives descriptor 1 back to the held output. What foreign code left in stdio's buffer
// for standard output is flushed into the stand-in and dropped, a system-log connection
// that may have taken descriptor 1 meanwhile is closed (the next message opens its own),
// and the duplicate moves back onto descriptor 1. Returns false, nothing moved, when the
// output is not held or its duplicate is no longer the file it was (closed, or another
// file opened in its place); the caller's output is then out of reach.
bool restoreOutput(const HeldOutput& held) noexcept;
