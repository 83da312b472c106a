#!/usr/bin/env bats
# The packages are reproducible: the source package that packaging.build_deb made,
# unpacked in another folder at another depth and built again under another umask,
# time zone and locale, and without the tests (nocheck), gives byte-identical binary
# packages. Neither the build's place nor its time ends up inside, the source package
# holds all that the build needs, and the tests change nothing that is shipped.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    [ -d "$DEB_DIR" ] || { skip_all "no package built"; return 0; }
    export AGAIN="$BATS_FILE_TMPDIR/elsewhere/at/another/depth"
    mkdir -p "$AGAIN"
    local dsc="$DEB_DIR/vosyncloc_$DEB_VERSION.dsc"
    if ! (
        umask 002
        export TZ=Pacific/Kiritimati LC_ALL=C.UTF-8
        cd "$AGAIN" && dpkg-source -x "$dsc" src && cd src &&
            DEB_BUILD_OPTIONS='parallel=2 nocheck' dpkg-buildpackage -us -uc -b
    ) >"$AGAIN/build.log" 2>&1; then
        tail -n 40 "$AGAIN/build.log" >&3
        return 1
    fi
}

@test "a build from the source package elsewhere gives byte-identical packages" {
    local deb failed=0
    while read -r deb; do
        if ! cmp -s "$deb" "$AGAIN/${deb##*/}"; then
            sha256sum "$deb" "$AGAIN/${deb##*/}" >&2
            failed=1
        fi
    done < <(deb_files all)
    return $failed
}
