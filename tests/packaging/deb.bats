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
