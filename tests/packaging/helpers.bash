# Shared by the packaging tests. The environment names the tool under test
# ($VOSYNCLOC), the source and build trees, the build configuration in lower case, the
# library directory, the built manual page and the directory that dpkg-buildpackage
# builds the packages into ($DEB_DIR, see CMakeLists.txt).

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

# The files and links that `cmake --install` puts under the prefix, relative, sorted.
# $LIBDIR is the library directory under the prefix.
installed_files() {
    local lib=$LIBDIR cmake=$LIBDIR/cmake/vosyncloc/vosyncloc name
    {
        printf '%s\n' bin/vosyncloc share/bash-completion/completions/vosyncloc \
            share/man/man1/vosyncloc.1 share/zsh/vendor-completions/_vosyncloc \
            share/vosyncloc/ansible/vosyncloc.fact share/vosyncloc/puppet/vosyncloc.fact \
            "$lib/libvosyncloc.so.1" "$lib/libvosyncloc.so.$VOSYNCLOC_VERSION" \
            include/vosyncloc/vosyncloc.h include/vosyncloc/vosyncloc.hpp \
            "$lib/libvosyncloc.so" "$lib/pkgconfig/vosyncloc.pc" \
            "$cmake-config.cmake" "$cmake-config-version.cmake" "$cmake-targets.cmake" \
            "$cmake-targets-$BUILD_CONFIG.cmake"
        for name in vosyncloc $(manual_page_functions); do
            echo "share/man/man3/$name.3"
        done
    } | sort
}

# The installed files that are programs, mode 755 (all others are 644), relative.
executable_files() {
    printf '%s\n' bin/vosyncloc share/vosyncloc/ansible/vosyncloc.fact \
        share/vosyncloc/puppet/vosyncloc.fact
}

# The functions of the library's header, each a name of its manual page.
manual_page_functions() {
    grep -oE '^VOSYNCLOC_API .*\bvosyncloc_[a-z_]+\(' "$SOURCE_DIR/vosyncloc/vosyncloc.h" |
        grep -oE 'vosyncloc_[a-z_]+\(' | tr -d '('
}

# The files and links that package $1 holds under /usr, relative, sorted: those of the
# install with the manual pages gzipped, and what Debian adds to each package.
package_files() {
    local doc=share/doc/$1
    {
        case $1 in
        vosyncloc)
            installed_files | grep -E '^(bin|share/(bash|zsh|vosyncloc|man/man1))'
            printf '%s\n' "$doc/examples/vosyncloc-fact.yml" "$doc/examples/vosyncloc-fact.pp" ;;
        libvosyncloc1) installed_files | grep -E '\.so\.' ;;
        libvosyncloc-dev)
            installed_files | grep -E '^(include|share/man/man3)|(\.so|\.pc|\.cmake)$' ;;
        esac | sed -E 's|^(share/man/.*)$|\1.gz|'
        printf '%s\n' "$doc/changelog.Debian.gz" "$doc/copyright" "share/lintian/overrides/$1"
    } | sort
}

# The packages of the source, and the version they carry.
DEB_PACKAGES="vosyncloc libvosyncloc1 libvosyncloc-dev"
DEB_DEBUG_PACKAGES="vosyncloc libvosyncloc1"
DEB_VERSION=$(dpkg-parsechangelog -l "$SOURCE_DIR/debian/changelog" -S Version 2>/dev/null)

# The path of each binary package built into $DEB_DIR, one a line; with "all", the
# -dbgsym packages too.
deb_files() {
    local package arch
    arch=$(dpkg --print-architecture) || return 1
    for package in $DEB_PACKAGES; do
        echo "$DEB_DIR/${package}_${DEB_VERSION}_$arch.deb"
    done
    [ "${1:-}" = all ] || return 0
    for package in $DEB_DEBUG_PACKAGES; do
        echo "$DEB_DIR/${package}-dbgsym_${DEB_VERSION}_$arch.deb"
    done
}

# The .changes file of the build in $DEB_DIR.
changes_file() {
    echo "$DEB_DIR/vosyncloc_${DEB_VERSION}_$(dpkg --print-architecture).changes"
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
