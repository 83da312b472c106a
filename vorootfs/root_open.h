// Opening a file of a system image from outside it: the image's directory tree stands in
// for "/", as it would for a process chrooted into it, without running anything of it.
#pragma once

namespace vorootfs {

// Opens `path` (absolute or relative, as seen inside the image) beneath the directory
// `rootFd`, with `flags` as for open(2), and returns the new descriptor, or -1 with errno
// set. Every component is resolved inside the image: an absolute symbolic link starts
// again at `rootFd`, ".." never climbs above it, and the kernel's magic links
// (/proc/PID/fd/N and the like) are refused (ELOOP), so that nothing outside the image
// is reached whatever its links say. Needs Linux 5.6 (openat2); fails with ENOSYS before.
int open_in_root(int rootFd, const char* path, int flags) noexcept;

}  // namespace vorootfs
