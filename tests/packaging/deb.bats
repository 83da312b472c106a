#!/usr/bin/env bats
# What dpkg-buildpackage made of the source (packaging.build_deb): the source package
# and five binary packages (debhelper's -dbgsym ones among them), each holding exactly
# its files, with the control fields and members a Debian system needs. lintian.bats
# checks the rest of what Debian asks of them.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    # packaging.build_deb reports its own failure; it skips without the tools.
    [ -d "$DEB_DIR" ] || skip_all "no package built"
}

@test "dpkg-buildpackage made the source package and exactly the declared binary packages" {
    local upstream=${DEB_VERSION%-*} expected
    expected=$({
        deb_files all
        changes_file
        printf "$DEB_DIR/vosyncloc_%s\n" "$upstream.orig.tar.gz" "$DEB_VERSION.dsc" \
            "$DEB_VERSION.debian.tar.xz" "${DEB_VERSION}_$(dpkg --print-architecture).buildinfo"
    } | sort)
    assert_same_lines "expected and built files" "$expected" \
        "$(find "$DEB_DIR" -maxdepth 1 -type f ! -name build.log | sort)"
}

@test "each package holds exactly its files" {
    local package failed=0
    for package in $DEB_PACKAGES; do
        assert_same_lines "$package: expected and packaged files" \
            "$(package_files "$package" | sed 's|^|./usr/|')" \
            "$(dpkg-deb -c "$(deb_files | grep "/${package}_")" |
                awk '$1 !~ /^d/ { print $6 }' | sort)" || failed=1
    done
    return $failed
}

# Package | Section | what Depends names, ";" between dependencies (those found in
# the ELF files with the lowest version they need) | control members but control and
# md5sums: a library's shlibs, symbols and ldconfig trigger, the tool's postrm | a
# pattern the fields Multi-Arch and Static-Built-Using match, in this order (the C++
# runtime and Boost carried by the tool: their sources, at the versions built with).
STATIC="boost1\.74 \(= [^)]+\), gcc-[0-9]+ \(= [^)]+\)"
PACKAGE_CONTROLS=(
    "vosyncloc|utils|libc6 (>= |./postrm|^Multi-Arch: foreign
Static-Built-Using: $STATIC$"
    "libvosyncloc1|libs|libboost-filesystem1.74.0 (>= ;libc6 (>= ;libgcc-s1 (>= ;libstdc++6 (>= \
|./shlibs ./symbols ./triggers|^Multi-Arch: same$"
    "libvosyncloc-dev|libdevel|libvosyncloc1 (= $DEB_VERSION)||^Multi-Arch: same$"
)

@test "each package has its control fields, dependencies and control members" {
    local row package section names extra fields deb depends name source failed=0
    for row in "${PACKAGE_CONTROLS[@]}"; do
        IFS='|' read -r -d '' package section names extra fields <<<"$row" || true
        fields=${fields%$'\n'}
        deb=$(deb_files | grep "/${package}_")
        [ "$(dpkg-deb -f "$deb" Package Version Architecture Section)" = "Package: $package
Version: $DEB_VERSION
Architecture: $(dpkg --print-architecture)
Section: $section" ] || { echo "$package: fields"; failed=1; }
        # dpkg names the source only where it is not the package's own name.
        source=$(dpkg-deb -f "$deb" Source)
        [ "${source:-$package}" = vosyncloc ] || { echo "$package: source $source"; failed=1; }
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
    return $failed
}

# debian/rules target | make's arguments ({tmp}: a file no package holds) | DEB_BUILD_OPTIONS
# | what follows: "!TEXT", a failure naming TEXT, or the last -O of every compile line.
RULES_ROWS=(
    "override_dh_gencontrol|static_archives=/nonexistent/libboost_gone.a||!/nonexistent/libboost_gone.a"
    "override_dh_gencontrol|runtime_archives=libgone.a||!libgone.a"
    "override_dh_gencontrol|static_archives={tmp}||!no path found matching pattern *{tmp}"
    "override_dh_auto_configure||noopt|-O0"
    "override_dh_auto_configure|||-O3"
)

@test "debian/rules stops on an archive dpkg cannot name and takes dpkg-buildflags' -O" {
    local tree="$BATS_TEST_TMPDIR/src" row target args options expected last failed=0
    dpkg-source -x "$DEB_DIR/vosyncloc_$DEB_VERSION.dsc" "$tree" >/dev/null
    touch "$BATS_TEST_TMPDIR/libunowned.a"
    for row in "${RULES_ROWS[@]}"; do
        IFS='|' read -r target args options expected <<<"${row//\{tmp\}/$BATS_TEST_TMPDIR/libunowned.a}"
        rm -rf "$tree"/obj-*
        run env DEB_BUILD_OPTIONS="$options" make -C "$tree" -f debian/rules "$target" $args
        if [[ "$expected" == !* ]]; then
            [[ "$status" -ne 0 && "$output" == *${expected#!}* ]] ||
                { echo "$row: status $status: $output"; failed=1; }
            continue
        fi
        [ "$status" -eq 0 ] || { echo "$row: status $status: $output"; failed=1; continue; }
        # The last -O of the flags of every C and C++ object.
        last=$(sed -n 's/^CX*_FLAGS = //p' "$tree"/obj-*/*/CMakeFiles/*/flags.make |
            sed 's/.* \(-O[^ ]*\).*/\1/' | sort -u)
        [ "$last" = "$expected" ] || { echo "$row: last -O flags: $last"; failed=1; }
    done
    return $failed
}

@test "the upstream tarball holds what git tracks and is never made anew with other bytes" {
    local clone="$BATS_TEST_TMPDIR/clone" out="$BATS_TEST_TMPDIR/out" tarball
    git clone -q "$SOURCE_DIR" "$clone"
    cp "$SOURCE_DIR/scripts/orig-tarball.sh" "$clone/scripts/"  # the script under test
    # What a build in the clone leaves behind, and a file git does not track.
    mkdir -p "$clone/obj-x86_64-linux-gnu" "$clone/debian/.debhelper" "$out"
    touch "$clone/obj-x86_64-linux-gnu/CMakeCache.txt" "$clone/debian/files" "$clone/notes"
    tarball=$(bash "$clone/scripts/orig-tarball.sh" "$out")
    assert_same_lines "tracked and packed files" \
        "$(git -C "$clone" ls-files | grep -v '^debian/' | sort)" \
        "$(tar -tzf "$tarball" | sed 's|^vosyncloc-[^/]*/||' | sort)"
    # The same tree again gives the same bytes, a changed one is refused.
    bash "$clone/scripts/orig-tarball.sh" "$out"
    cp "$tarball" "$BATS_TEST_TMPDIR/first"
    echo changed >>"$clone/README.md"
    run bash "$clone/scripts/orig-tarball.sh" "$out"
    [ "$status" -ne 0 ] && [[ "$output" == *"exists with other content"* ]]
    cmp "$tarball" "$BATS_TEST_TMPDIR/first"
}
