#!/usr/bin/env bash
# Makes the upstream tarball of the Debian source package from this git tree:
# vosyncloc_<version>.orig.tar.gz in DIR (default: the tree's parent), holding
# vosyncloc-<version>/ with every file git tracks but debian/, as it is in the work tree
# (uncommitted changes included, files deleted but not yet committed left out); build
# trees and other untracked files never go in. The same tree gives the same bytes: names
# sorted, owner root, times those of the newest changelog entry. An upstream tarball never
# changes once made: a different one where one exists is refused, and the old one kept.
# Usage: scripts/orig-tarball.sh [DIR]
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$tree/..}
version=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Version)
upstream=${version%-*}
stamp=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Timestamp)
tarball=$out/vosyncloc_$upstream.orig.tar.gz

files=$(mktemp)
trap 'rm -f "$files" "$tarball.new"' EXIT
git -C "$tree" ls-files -z --cached >"$files"
(cd "$tree" && while IFS= read -r -d '' file; do
    [ -e "$file" ] || [ -L "$file" ] || continue
    [[ "$file" == debian/* ]] || printf '%s\0' "$file"
done) <"$files" | tar -c -C "$tree" --null --files-from=- --sort=name --format=gnu \
    --owner=0 --group=0 --numeric-owner --mode=u+rw,go=rX,go-w --mtime="@$stamp" \
    --transform="s|^|vosyncloc-$upstream/|" | gzip -9 -n >"$tarball.new"
if [ -e "$tarball" ]; then
    cmp -s "$tarball.new" "$tarball" ||
        { echo "$tarball exists with other content: left as it is" >&2; exit 1; }
else
    mv "$tarball.new" "$tarball"
fi
echo "$tarball"
