#!/usr/bin/env bash
# Builds the Debian source package and every binary package of the source tree
# SOURCE_DIR into DIR, as a maintainer does: the upstream tarball from the tree
# (scripts/orig-tarball.sh), unpacked with debian/ beside it, then
# `dpkg-buildpackage -us -uc`, its output kept in DIR/build.log. With --unpack, also
# unpacks the binary packages but the -dbgsym ones into DIR/root: the files as they
# install, the tool that the end-to-end tests run among them. Reports itself skipped
# (77) without dpkg-buildpackage or debhelper.
# Usage: build-deb.sh [--unpack] SOURCE_DIR DIR
set -euo pipefail
unpack=0
[ "$1" != --unpack ] || { unpack=1; shift; }
source_dir=$1 dir=$2
for tool in dpkg-buildpackage dh; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool not found"; exit 77; }
done
rm -rf "$dir"
mkdir -p "$dir"
tarball=$(bash "$source_dir/scripts/orig-tarball.sh" "$dir")
tar -x -f "$tarball" -C "$dir"
tree=$(echo "$dir"/vosyncloc-*/)
cp -R "$source_dir/debian" "$tree"
if ! (cd "$tree" && DEB_BUILD_OPTIONS=parallel=2 dpkg-buildpackage -us -uc) \
    >"$dir/build.log" 2>&1; then
    tail -n 60 "$dir/build.log" >&2
    exit 1
fi
ls -l "$dir"
if [ "$unpack" = 1 ]; then
    for deb in "$dir"/*.deb; do
        [[ "$deb" == *-dbgsym_* ]] || dpkg-deb -x "$deb" "$dir/root"
    done
fi
