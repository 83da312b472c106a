#!/usr/bin/env bats
# lintian, Debian's package checker, has nothing to say about any package: no
# tag of any severity, pedantic, informational and experimental ones included.
# A tag that truly cannot be met is overridden in the package itself
# (packaging/<package>[.<compiler>].lintian-overrides, each override with its
# reason); lintian then hides it, and reports an override that nothing needs.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    need_shipped_configuration || return 0
    command -v lintian >/dev/null || skip_all "lintian is not installed"
}

@test "lintian --pedantic -I -E reports no tag on any package" {
    local deb failed=0
    while read -r deb; do
        run --separate-stderr lintian --pedantic --display-info --display-experimental \
            --tag-display-limit 0 "$deb"
        if [ "$status" -ne 0 ] || [ -n "$output" ]; then
            printf '%s (status %s):\n%s\n%s\n' "$deb" "$status" "$output" "$stderr" >&2
            failed=1
        fi
    done < <(deb_files)
    return $failed
}
