#!/usr/bin/env bats
# The Debian packages built by cpack (packaging.build_deb) carry together the
# same files as the install (and any lintian overrides), owned by root,
# stamped with the time of the source; each has the control fields a Debian
# system needs, its dependencies computed from the binaries; the binaries are
# stripped as Debian strips them. lintian.bats checks the rest of what Debian
# asks of a package, its copyright file and changelog among it.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    if ! command -v dpkg-deb >/dev/null; then
        skip_all "dpkg-deb is not installed"
        return
    fi
    # packaging.build_deb reports its own failure; it skips without the tools.
    [ -d "$DEB_DIR" ] || skip_all "no package built"
}

@test "cpack made exactly the declared packages, named <package>_<version>_<arch>.deb" {
    assert_same_lines "declared and built packages" "$(deb_files | sort)" \
        "$(find "$DEB_DIR" -maxdepth 1 -name '*.deb' | sort)"
}

@test "the packages hold exactly the installed files, owned by root, with the usual modes" {
    local deb listing='' expected actual
    while read -r deb; do
        listing+=$(dpkg-deb -c "$deb")$'\n'
    done < <(deb_files)
    # ... and their lintian overrides, if any: those are for packages only.
    expected=$(packaged_files | sed 's|^|./usr/|' | sort)
    actual=$(awk 'NF && $1 !~ /^d/ { print $6 }' <<<"$listing" | sort)
    assert_same_lines "expected and packaged files" "$expected" "$actual"
    # Every entry: root/root; the binary and directories 755, the rest 644.
    awk 'NF && $2 != "root/root" { print "owner: " $0; bad = 1 }
         $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "mode: " $0; bad = 1 }
         $6 == "./usr/bin/vosyncloc" && $1 != "-rwxr-xr-x" { print "mode: " $0; bad = 1 }
         $1 ~ /^-/ && $6 != "./usr/bin/vosyncloc" && $1 != "-rw-r--r--" { print "mode: " $0; bad = 1 }
         END { exit bad }' <<<"$listing"
}

@test "every entry of every package carries the time of the source's last commit" {
    git -C "$SOURCE_DIR" rev-parse 2>/dev/null || skip "the source has no git history"
    [ -z "${SOURCE_DATE_EPOCH:-}" ] || skip "SOURCE_DATE_EPOCH is set"
    local deb expected times
    expected=$(date -u -d "@$(git -C "$SOURCE_DIR" log -1 --format=%ct -- .)" '+%F %T')
    while read -r deb; do
        times=$(dpkg-deb --fsys-tarfile "$deb" | tar -t -v --full-time --utc |
            awk '{ print $4, $5 }' | sort -u)
        [ "$times" = "$expected" ] || { echo "$deb: $times, expected $expected"; false; }
    done < <(deb_files)
}

@test "the control fields name the package, version, architecture and maintainer" {
    local deb package
    for package in $DEB_PACKAGES; do
        deb=$(deb_files | grep "/${package}_")
        [ "$(dpkg-deb -f "$deb" Package)" = "$package" ]
        [ "$(dpkg-deb -f "$deb" Version)" = "$VOSYNCLOC_VERSION" ]
        [ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ]
        [[ "$(dpkg-deb -f "$deb" Maintainer)" == *?" <"*@*">" ]]
        [ -n "$(dpkg-deb -f "$deb" Section)" ]
    done
    [ "$(dpkg-deb -f "$(deb_files | grep /vosyncloc_)" Section)" = utils ]
}

@test "each description has a summary line and a long text" {
    local deb description
    while read -r deb; do
        description=$(dpkg-deb -f "$deb" Description)
        [ -n "$(head -n 1 <<<"$description")" ]
        [ "$(wc -l <<<"$description")" -gt 3 ]
        # Continuation lines start with a blank; blank lines are written " .".
        ! tail -n +2 <<<"$description" | grep -v '^ ' || false
    done < <(deb_files)
}

@test "Depends is computed from the linked libraries and names libc6" {
    local depends
    depends=$(dpkg-deb -f "$(deb_files | grep /vosyncloc_)" Depends)
    [ -n "$depends" ]
    [[ ", $depends" == *", libc6 (>= "* ]]
}

@test "the packaged manual page is the built one and the binary is stripped like Debian's" {
    local sections
    cmp "$MANPAGE_GZ" "$DEB_DIR/root/usr/share/man/man1/vosyncloc.1.gz"
    sections=$(readelf -W -S "$DEB_DIR/root/usr/bin/vosyncloc")
    ! grep -E ' \.(symtab|comment|note) ' <<<"$sections" || false
}
