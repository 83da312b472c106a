#!/usr/bin/env bats
# The packages are reproducible: two builds from copies of the source in
# different folders, one after the other, under another umask, time zone and
# locale, give byte-identical packages, and the same packages as the ones the
# other tests check. Neither the build's place nor its time ends up inside.
# Each build configures like this tree (package-settings.cmake), builds what
# the packages hold (the tool and the library, no tests) and makes them.

bats_require_minimum_version 1.5.0
load helpers

# Copies the source into $1: with git, the files git tracks or would track
# (uncommitted work included), and a .git file that points at the source's git
# directory, so that the copy has the same last commit as a clone; without git,
# everything but the build trees.
copy_source() {
    local copy=$1 git_dir
    mkdir -p "$copy"
    if git_dir=$(git -C "$SOURCE_DIR" rev-parse --absolute-git-dir 2>/dev/null); then
        (cd "$SOURCE_DIR" && git ls-files -z --cached --others --exclude-standard |
            tar -c -f - --null --files-from=- --ignore-failed-read 2>/dev/null) |
            tar -x -f - -C "$copy"
        echo "gitdir: $git_dir" >"$copy/.git"
    else
        tar -c -f - -C "$SOURCE_DIR" --exclude='./build*' . | tar -x -f - -C "$copy"
    fi
}

# Builds the packages of the source copy $1 into $1/deb with umask $2, time
# zone $3 and locale $4; shows the build's output when it fails.
build_packages() {
    local copy=$1 log=$1.log
    if ! (
        umask "$2"
        export TZ=$3 LC_ALL=$4
        cmake -S "$copy" -B "$copy/build" -C "$PACKAGE_SETTINGS" &&
            cmake --build "$copy/build" -j2 &&
            cd "$copy/build" && "$CPACK" -G DEB -B "$copy/deb"
    ) >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        return 1
    fi
}

setup_file() {
    need_shipped_configuration || return 0
    export ONE="$BATS_FILE_TMPDIR/one/vosyncloc"
    export TWO="$BATS_FILE_TMPDIR/two/elsewhere/at/another/depth/src"
    copy_source "$ONE"
    build_packages "$ONE" 022 UTC C
    copy_source "$TWO"
    build_packages "$TWO" 002 Pacific/Kiritimati C.UTF-8
}

# Fails with both checksums shown unless the packages in directories $1 and $2
# are the same files with the same bytes.
assert_same_packages() {
    local one=$1 two=$2 deb failed=0
    assert_same_lines "package names" "$(cd "$one" && ls ./*.*deb)" "$(cd "$two" && ls ./*.*deb)"
    for deb in "$one"/*.*deb; do
        if ! cmp -s "$deb" "$two/${deb##*/}"; then
            sha256sum "$deb" "$two/${deb##*/}" >&2
            failed=1
        fi
    done
    return $failed
}

@test "two builds in different folders at different times give byte-identical packages" {
    assert_same_packages "$ONE/deb" "$TWO/deb"
    sha256sum "$ONE"/deb/*.*deb
}

@test "the packages under test are the ones a build from clean copies gives" {
    assert_same_packages "$ONE/deb" "$DEB_DIR"
}
