#!/bin/sh
# Runs a command in a private mount namespace, so that what it mounts is seen
# by it alone; reports the test skipped (77) where that is not possible.
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: a private mount namespace needs root"
    exit 77
fi
if ! unshare --mount --propagation private true 2>/dev/null; then
    echo "skipped: no private mount namespace here"
    exit 77
fi
export IN_PRIVATE_MOUNTS=1
exec unshare --mount --propagation private "$@"
