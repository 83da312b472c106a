// Writing the tool's result to a file descriptor, where a failed write is a failed run.
#pragma once

#include <string>

// Writes all of `text` to `fd`, retrying after EINTR, partial writes and EAGAIN (a
// non-blocking descriptor is waited on). Throws std::system_error whose what() is
// "vosyncloc: write error: " and the system's message (e.g. "No space left on
// device"); part of the text may have been written then.
void writeAll(int fd, const std::string& text);

// When `fd` is closed, occupies it with a descriptor that cannot be written, so that a
// later write to it still fails (with EBADF) instead of reaching a file or socket that
// the process opens meanwhile (such as the system log's): /dev/null opened read-only,
// or, where there is no /dev/null (a minimal container or chroot), the root directory,
// which always exists. Returns true when `fd` is open afterwards (also when it was
// already); false when it stays closed, and the caller must then not run at all.
// Never throws.
bool occupyIfClosed(int fd) noexcept;
