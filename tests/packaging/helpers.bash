# Shared by the packaging tests. The environment names the tool under test
# ($VOSYNCLOC), the source and build trees, the build configuration in lower
# case, the library directory, the gzipped manual page and changelog, the Debian
# packages ($DEB_PACKAGES, those with lintian overrides in $DEB_OVERRIDDEN, those
# with a -dbgsym package in $DEB_DEBUG_PACKAGES), the
# directory they are built into and whether this tree is the shipped
# configuration (see CMakeLists.txt).

# The keys the tool lists, in its order: the text before the first "=".
tool_keys() {
    local listing
    listing=$("$VOSYNCLOC") || return 1
    cut -d= -f1 <<<"$listing"
}

# The keys of the manual page's KEYS section, in its order: each is the ".B"
# line right after a ".TP".
manpage_keys() {
    awk '/^\.SH /     { in_keys = ($0 ~ /^\.SH KEYS/) }
         in_keys && previous == ".TP" && /^\.B / { print $2 }
                      { previous = $0 }' "$SOURCE_DIR/man/vosyncloc.1"
}

# The files that package $1 installs under the prefix, relative: its own and the
# copyright file and changelog. $LIBDIR is the library directory under the prefix.
package_files() {
    local lib=$LIBDIR cmake=$LIBDIR/cmake/vosyncloc/vosyncloc
    case $1 in
    vosyncloc)
        printf '%s\n' bin/vosyncloc share/bash-completion/completions/vosyncloc \
            share/man/man1/vosyncloc.1.gz share/zsh/vendor-completions/_vosyncloc \
            share/vosyncloc/ansible/vosyncloc.fact share/vosyncloc/puppet/vosyncloc.fact ;;
    libvosyncloc1)
        printf '%s\n' "$lib/libvosyncloc.so.1" "$lib/libvosyncloc.so.$VOSYNCLOC_VERSION" ;;
    libvosyncloc-dev)
        printf '%s\n' include/vosyncloc/vosyncloc.h include/vosyncloc/vosyncloc.hpp \
            "$lib/libvosyncloc.so" "$lib/pkgconfig/vosyncloc.pc" share/man/man3/vosyncloc.3.gz \
            "$cmake-config.cmake" "$cmake-config-version.cmake" "$cmake-targets.cmake" \
            "$cmake-targets-$BUILD_CONFIG.cmake" ;;
    esac
    printf '%s\n' "share/doc/$1/changelog.gz" "share/doc/$1/copyright"
}

# The installed files that are programs, mode 755 (all others are 644), relative.
executable_files() {
    printf '%s\n' bin/vosyncloc share/vosyncloc/ansible/vosyncloc.fact \
        share/vosyncloc/puppet/vosyncloc.fact
}

# The files a complete install puts under its prefix, relative and sorted.
installed_files() {
    local package
    for package in $DEB_PACKAGES; do
        package_files "$package"
    done | sort
}

# The files that package $1 holds, sorted: the installed ones, and its lintian
# overrides if it has some ($DEB_OVERRIDDEN).
packaged_files() {
    {
        package_files "$1"
        [[ " $DEB_OVERRIDDEN " != *" $1 "* ]] || echo "share/lintian/overrides/$1"
    } | sort
}

# The path of each Debian package built into $DEB_DIR, one a line; with "all", the
# -dbgsym packages of those with debug information ($DEB_DEBUG_PACKAGES) too.
deb_files() {
    local package arch
    arch=$(dpkg --print-architecture) || return 1
    for package in $DEB_PACKAGES; do
        echo "$DEB_DIR/${package}_${VOSYNCLOC_VERSION}_$arch.deb"
    done
    [ "${1:-}" = all ] || return 0
    for package in $DEB_DEBUG_PACKAGES; do
        echo "$DEB_DIR/${package}-dbgsym_${VOSYNCLOC_VERSION}_$arch.ddeb"
    done
}

# Fails with both lists shown when the two multi-line texts differ.
assert_same_lines() {
    local what=$1 expected=$2 actual=$3
    if [[ "$expected" != "$actual" ]]; then
        echo "$what differ:" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        return 1
    fi
}

# For setup_file, where this bats cannot skip: records why every test of the
# file is to be skipped; setup() below then skips each one.
skip_all() {
    export SKIP_ALL_REASON=$1
}

setup() {
    [ -z "${SKIP_ALL_REASON:-}" ] || skip "$SKIP_ALL_REASON"
}

# For setup_file of the tests of what Debian asks of a shipped package: unless
# this tree is built as the packages are shipped, records that all its tests
# are to be skipped and fails, so that setup_file can return.
need_shipped_configuration() {
    if [ "${SHIPPED:-0}" != 1 ]; then
        skip_all "not the shipped configuration (hardened and optimised)"
        return 1
    fi
}
