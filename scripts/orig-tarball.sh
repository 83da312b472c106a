#!/usr/bin/env bash
# Makes the upstream tarball of the Debian source package from this tree:
# vosyncloc_<version>.orig.tar.gz in DIR (default: the tree's parent), holding
# vosyncloc-<version>/ with every file but debian/. With git, the files git tracks or
# would track (uncommitted work included); without, everything but build trees. The
# same tree gives the same bytes: names sorted, owner root, times those of the newest
# changelog entry.
# Usage: scripts/orig-tarball.sh [DIR]
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$tree/..}
version=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Version)
upstream=${version%-*}
stamp=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Timestamp)
tarball=$out/vosyncloc_$upstream.orig.tar.gz

list_files() {
    if git -C "$tree" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$tree" ls-files -z --cached --others --exclude-standard
    else
        (cd "$tree" && find . -path ./.git -prune -o -path './build*' -prune -o \
            ! -type d -printf '%P\0')
    fi
}

# Files deleted but not yet committed are left out.
list_files | (cd "$tree" && while IFS= read -r -d '' file; do
    [ -e "$file" ] || [ -L "$file" ] || continue
    [[ "$file" == debian/* ]] || printf '%s\0' "$file"
done) | tar -c -C "$tree" --null --files-from=- --sort=name --format=gnu \
    --owner=0 --group=0 --numeric-owner --mode=u+rw,go=rX,go-w --mtime="@$stamp" \
    --transform="s|^|vosyncloc-$upstream/|" | gzip -9 -n >"$tarball.new"
mv "$tarball.new" "$tarball"
echo "$tarball"
