#!/usr/bin/env bats
# The Debian packages built by cpack (packaging.build_deb) each carry their
# files of the install (and any lintian overrides), owned by root, stamped with
# the time of the source; each has the control fields a Debian system needs,
# its dependencies computed from the binaries, and a library's package what
# Debian keeps beside a shared library; the binaries are stripped as Debian
# strips them. lintian.bats checks the rest of what Debian asks of a package,
# its copyright file and changelog among it.

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
    assert_same_lines "declared and built packages" "$(deb_files all | sort)" \
        "$(find "$DEB_DIR" -maxdepth 1 -name '*.*deb' | sort)"
}

@test "each package holds exactly its installed files, owned by root, with the usual modes" {
    local package listing failed=0
    for package in $DEB_PACKAGES; do
        listing=$(dpkg-deb -c "$(deb_files | grep "/${package}_")")
        # ... and its lintian overrides, if any: those are for packages only.
        assert_same_lines "$package: expected and packaged files" \
            "$(packaged_files "$package" | sed 's|^|./usr/|')" \
            "$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sort)" || failed=1
        # Every entry: root/root; the programs and directories 755, other files 644.
        awk -v programs="$(executable_files | sed 's|^|./usr/|')" \
            'BEGIN { split(programs, list); for (i in list) program[list[i]] = 1 }
             $2 != "root/root" { print "owner: " $0; bad = 1 }
             $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "mode: " $0; bad = 1 }
             $6 in program && $1 != "-rwxr-xr-x" { print "mode: " $0; bad = 1 }
             $1 ~ /^-/ && !($6 in program) && $1 != "-rw-r--r--" { print "mode: " $0; bad = 1 }
             END { exit bad }' <<<"$listing" || failed=1
    done
    return $failed
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

# Package | Section | what Depends names, ";" between dependencies (those found in
# the ELF files with the lowest version they need) | control members but control and
# md5sums: a library's shlibs, symbols and ldconfig trigger, no maintainer scripts |
# a pattern the fields Multi-Arch and Static-Built-Using match, in this order (the
# C++ runtime and Boost carried by the tool: their sources, at the versions built with).
STATIC=$( [ "$STATIC_RUNTIME" = ON ] && echo "boost1\.74 \(= [^)]+\), gcc-[0-9]+ \(= [^)]+\)")
PACKAGE_CONTROLS=(
    "vosyncloc|utils|libc6 (>= ||^Static-Built-Using: $STATIC$"
    "libvosyncloc1|libs|libboost-filesystem1.74.0 (>= ;libc6 (>= ;libgcc-s1 (>= ;libstdc++6 (>= \
|./shlibs ./symbols ./triggers|^Multi-Arch: same$"
    "libvosyncloc-dev|libdevel|libvosyncloc1 (= $VOSYNCLOC_VERSION)||^Multi-Arch: same$"
)

@test "each package has its control fields, dependencies and control members" {
    local row package section names extra fields deb depends name failed=0
    for row in "${PACKAGE_CONTROLS[@]}"; do
        IFS='|' read -r package section names extra fields <<<"$row"
        deb=$(deb_files | grep "/${package}_")
        [ "$(dpkg-deb -f "$deb" Package Version Architecture Section)" = "Package: $package
Version: $VOSYNCLOC_VERSION
Architecture: $(dpkg --print-architecture)
Section: $section" ] || { echo "$package: fields"; failed=1; }
        [[ "$(dpkg-deb -f "$deb" Maintainer)" == *?" <"*@*">" ]] || failed=1
        [[ "$(dpkg-deb -f "$deb" Multi-Arch Static-Built-Using)" =~ $fields ]] ||
            { echo "$package: $(dpkg-deb -f "$deb" Multi-Arch Static-Built-Using)"; failed=1; }
        depends=$(dpkg-deb -f "$deb" Depends)
        IFS=';' read -ra names <<<"$names"
        for name in "${names[@]}"; do
            [[ ", $depends" == *", $name"* ]] || { echo "$package: $name in $depends"; failed=1; }
        done
        assert_same_lines "$package: control members" \
            "$(printf '%s\n' ./control ./md5sums $extra | sort)" \
            "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -v '^\./$' | sort)" || failed=1
    done
    [ "${#PACKAGE_CONTROLS[@]}" -eq "$(wc -w <<<"$DEB_PACKAGES")" ]
    return $failed
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

@test "the packaged manual pages are the built ones and ELF files stripped like Debian's" {
    local file sections
    cmp "$MANPAGE_GZ" "$DEB_DIR/root/usr/share/man/man1/vosyncloc.1.gz"
    cmp "${MANPAGE_GZ%.1.gz}.3.gz" "$DEB_DIR/root/usr/share/man/man3/vosyncloc.3.gz"
    for file in bin/vosyncloc "$LIBDIR/libvosyncloc.so.$VOSYNCLOC_VERSION"; do
        sections=$(readelf -W -S "$DEB_DIR/root/usr/$file")
        ! grep -E ' \.(symtab|comment|note) ' <<<"$sections" || { echo "$file"; false; }
    done
}

@test "each -dbgsym package holds the debug information of its package's binary, by build id" {
    local package dbgsym elf id failed=0
    for package in $DEB_DEBUG_PACKAGES; do
        dbgsym=$(deb_files all | grep "/$package-dbgsym_")
        elf=$(dpkg-deb -c "$(deb_files | grep "/${package}_")" |
            awk '$1 ~ /^-/ && $6 ~ /(bin\/|\.so\.[0-9.]+$)/ { print $6 }')
        id=$(readelf -n "$DEB_DIR/root/$elf" | sed -n 's/.*Build ID: //p')
        [ -n "$id" ] && [ "$(dpkg-deb -f "$dbgsym" Build-Ids)" = "$id" ] &&
            [ "$(dpkg-deb -f "$dbgsym" Depends)" = "$package (= $VOSYNCLOC_VERSION)" ] &&
            [ "$(dpkg-deb -f "$dbgsym" Multi-Arch)" = "$(dpkg-deb -f "$(deb_files |
                grep "/${package}_")" Multi-Arch)" ] || { echo "$package: fields"; failed=1; }
        dpkg-deb -x "$dbgsym" "$BATS_TEST_TMPDIR/$package"
        readelf -n "$BATS_TEST_TMPDIR/$package/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" |
            grep -q "Build ID: $id" || { echo "$package: no debug file for $id"; failed=1; }
        readelf -p .gnu_debuglink "$DEB_DIR/root/$elf" | grep -q " ${id:2}\.debug$" ||
            { echo "$package: $elf does not name its debug file"; failed=1; }
    done
    [ -n "$DEB_DEBUG_PACKAGES" ] && return $failed
}
