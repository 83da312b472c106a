// Writing the tool's result to a file descriptor, where a failed write is a failed run.
#pragma once

#include <string>

// Writes all of `text` to `fd`, retrying after EINTR, partial writes and EAGAIN (a
// non-blocking descriptor is waited on). Throws std::system_error whose what() is
// "vosyncloc: write error: " and the system's message (e.g. "No space left on
// device"); part of the text may have been written then.
void writeAll(int fd, const std::string& text);

// When `fd` is closed, occupies it with /dev/null opened read-only, so that a later
// write to it still fails (with EBADF) instead of reaching a file or socket that the
// process opens meanwhile (such as the system log's). Does nothing when `fd` is open or
// /dev/null cannot be opened. Never throws.
void occupyIfClosed(int fd) noexcept;
