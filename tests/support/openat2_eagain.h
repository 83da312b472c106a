// A kernel that keeps answering "try again": for tests of how a race's retries end.
#pragma once

#include <functional>

// Runs `check` in a child process whose every openat2(2) fails with EAGAIN, as the
// kernel answers a resolution that renames elsewhere keep interrupting (a seccomp filter,
// which nothing can lift, hence the child). Returns 0 when `check` returned true, 1 when
// it returned false or threw, and 77 when no such filter can be had.
int runWhereOpenat2KeepsFailing(const std::function<bool()>& check);
