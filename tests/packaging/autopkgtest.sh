#!/usr/bin/env bash
# autopkgtest of the source package and the binary packages in $DEB_DIR, as Debian's CI
# runs it: in autopkgtest's unshare testbed, a Debian tree of this machine's release that
# holds the Essential packages and apt alone (mmdebstrap --variant=apt), from the Debian
# mirrors this machine's apt uses. Each test gets the packages it declares and nothing
# else, and the machine itself is never changed. The tree is made on the spot and kept
# as a tarball for a day, shared by the user's runs (under /var/cache for root, else the
# user's cache directory), as are the packages apt downloads into it; autopkgtest -U
# brings it up to date on each run. Both tools map the caller's subordinate ids into
# their user namespaces (scripts/deps.sh test gives root some). Reports itself skipped
# (77) without autopkgtest, mmdebstrap or newuidmap, or without subordinate ids.
set -euo pipefail
for tool in autopkgtest mmdebstrap newuidmap; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
user=$(id -un)
for file in /etc/subuid /etc/subgid; do
    grep -Eq "^($user|$(id -u)):" "$file" 2>/dev/null ||
        { echo "skipped: $user has no subordinate ids in $file (see usermod --add-subuids)"
          exit 77; }
done
version=$(dpkg-parsechangelog -l "$SOURCE_DIR/debian/changelog" -S Version)
arch=$(dpkg --print-architecture)
changes=$DEB_DIR/vosyncloc_${version}_$arch.changes
[ -f "$changes" ] || { echo "skipped: no package built"; exit 77; }

if [ "$(id -u)" -eq 0 ]; then
    cache=/var/cache/vosyncloc-testbed
else
    cache=${XDG_CACHE_HOME:-$HOME/.cache}/vosyncloc-testbed
fi
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
tarball=$cache/$release-$arch.tar
mkdir -p "$cache/archives"
exec 9>"$cache/lock"
flock 9
if [ -z "$(find "$tarball" -mmin -1440 2>/dev/null)" ]; then
    # One line for each Debian suite and component that apt reads here.
    apt-get indextargets --release-info --format 'deb $(REPO_URI) $(RELEASE) $(COMPONENT)' \
        'Identifier: Packages' "Architecture: $arch" 'Origin: Debian' | sort -u >"$cache/sources"
    grep -q "^deb .* $release " "$cache/sources" ||
        { echo "apt reads no Debian mirror of $release here" >&2; exit 1; }
    rm -rf "$cache/archives"
    mkdir "$cache/archives"
    rm -rf "$tarball.new"
    mmdebstrap --quiet --variant=apt --mode=unshare --format=tar "$release" "$tarball.new" - \
        <"$cache/sources"
    mv "$tarball.new" "$tarball"
fi
# Other runs may read the tarball and the packages meanwhile, but none makes them anew.
flock -s 9

rm -rf "$DEB_DIR/autopkgtest"
status=0
autopkgtest --apt-upgrade --output-dir "$DEB_DIR/autopkgtest" "$changes" -- \
    unshare --tarball "$tarball" --bind "$cache/archives" /var/cache/apt/archives || status=$?
cat "$DEB_DIR/autopkgtest/summary"
exit $status
