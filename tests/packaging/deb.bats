#!/usr/bin/env bats
# The Debian package built by cpack (packaging.build_deb) carries the same
# four files as the install, owned by root, and the control fields a Debian
# system needs, its dependencies computed from the binary.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    if ! command -v dpkg-deb >/dev/null; then
        skip_all "dpkg-deb is not installed"
        return
    fi
    local arch
    arch=$(dpkg --print-architecture)
    export DEB="$DEB_DIR/vosyncloc_${VOSYNCLOC_VERSION}_$arch.deb"
    # packaging.build_deb reports its own failure; it skips without the tools.
    [ -d "$DEB_DIR" ] || skip_all "no package built"
}

@test "cpack made one package, named vosyncloc_<version>_<arch>.deb" {
    [ -f "$DEB" ]
    [ "$(find "$DEB_DIR" -maxdepth 1 -name '*.deb' | wc -l)" -eq 1 ]
}

@test "the package holds exactly the installed files, owned by root, with the usual modes" {
    local listing expected actual
    listing=$(dpkg-deb -c "$DEB")
    expected=$(installed_files | sed 's|^|./usr/|' | sort)
    actual=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sort)
    assert_same_lines "expected and packaged files" "$expected" "$actual"
    # Every entry: root/root; the binary and directories 755, the rest 644.
    awk '$2 != "root/root" { print "owner: " $0; bad = 1 }
         $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "mode: " $0; bad = 1 }
         $6 == "./usr/bin/vosyncloc" && $1 != "-rwxr-xr-x" { print "mode: " $0; bad = 1 }
         $1 ~ /^-/ && $6 != "./usr/bin/vosyncloc" && $1 != "-rw-r--r--" { print "mode: " $0; bad = 1 }
         END { exit bad }' <<<"$listing"
}

@test "the control fields name the package, version, architecture and maintainer" {
    [ "$(dpkg-deb -f "$DEB" Package)" = vosyncloc ]
    [ "$(dpkg-deb -f "$DEB" Version)" = "$VOSYNCLOC_VERSION" ]
    [ "$(dpkg-deb -f "$DEB" Architecture)" = "$(dpkg --print-architecture)" ]
    [[ "$(dpkg-deb -f "$DEB" Maintainer)" == *?" <"*@*">" ]]
    [ "$(dpkg-deb -f "$DEB" Section)" = utils ]
}

@test "the description has a summary line and a long text" {
    local description
    description=$(dpkg-deb -f "$DEB" Description)
    [ -n "$(head -n 1 <<<"$description")" ]
    [ "$(wc -l <<<"$description")" -gt 3 ]
    # Continuation lines start with a blank; blank lines are written " .".
    ! tail -n +2 <<<"$description" | grep -v '^ ' || false
}

@test "Depends is computed from the linked libraries and names libc6" {
    local depends
    depends=$(dpkg-deb -f "$DEB" Depends)
    [ -n "$depends" ]
    [[ ", $depends" == *", libc6 (>= "* ]]
}

@test "the packaged manual page is the built one and the binary is stripped" {
    local extracted="$BATS_TEST_TMPDIR/root"
    mkdir -p "$extracted"
    dpkg-deb -x "$DEB" "$extracted"
    cmp "$MANPAGE_GZ" "$extracted/usr/share/man/man1/vosyncloc.1.gz"
    ! readelf -S "$extracted/usr/bin/vosyncloc" | grep -q '\.symtab' || false
}
