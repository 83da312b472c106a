// A mount namespace of the test process's own, for tests that mount over the machine's
// directories (/etc, /dev) without changing them.
#pragma once

#include <string>

// Moves the calling process into a new mount namespace whose mounts are all private, so
// that what it mounts reaches no other process. Root gets a plain mount namespace. Any
// other user gets a new user namespace too, in which it is root (its uid and gid mapped
// to 0, supplementary groups refused) and so may mount a tmpfs or bind a file; files of
// every other owner, the machine's root's among them, show there as nobody's.
// Requires a process with one thread. Returns "" on success, else why the namespaces
// cannot be had; after a failure past unshare the process may be left in them.
std::string enterPrivateMounts();
