#!/usr/bin/env bash
# autopkgtest, with its null runner, of the source package and the binary packages in
# $DEB_DIR: the tests of debian/tests/ against the packages as apt installs them. Run by
# in-private-mounts.sh: /usr, /var and /etc are laid as overlays on a tmpfs first, so
# that apt and the tests change those, never the machine's own system. Reports itself
# skipped (77) without autopkgtest or outside a private mount namespace.
set -euo pipefail
command -v autopkgtest >/dev/null || { echo "skipped: autopkgtest is not installed"; exit 77; }
if [ "${IN_PRIVATE_MOUNTS:-}" != 1 ] ||
    [ "$(readlink /proc/self/ns/mnt)" = "$(readlink /proc/1/ns/mnt)" ]; then
    echo "skipped: not in a private mount namespace: run through in-private-mounts.sh"
    exit 77
fi
version=$(dpkg-parsechangelog -l "$SOURCE_DIR/debian/changelog" -S Version)
changes=$DEB_DIR/vosyncloc_${version}_$(dpkg --print-architecture).changes
[ -f "$changes" ] || { echo "skipped: no package built"; exit 77; }

layers=$DEB_DIR/autopkgtest-system
mkdir -p "$layers"
mount -t tmpfs vosyncloc-autopkgtest "$layers"
for dir in usr var etc; do
    mkdir -p "$layers/$dir.upper" "$layers/$dir.work"
    mount -t overlay overlay \
        -o "lowerdir=/$dir,upperdir=$layers/$dir.upper,workdir=$layers/$dir.work" "/$dir"
done
# man-db's trigger rebuilds no index then: slow, and no test needs it.
rm -f /var/lib/man-db/auto-update
rm -rf "$DEB_DIR/autopkgtest"
exec autopkgtest --output-dir "$DEB_DIR/autopkgtest" "$changes" -- null
