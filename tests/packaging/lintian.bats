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
    local debs
    mapfile -t debs < <(deb_files all)
    # One run for all: each tag names its package, and lintian is slow to start.
    run --separate-stderr lintian --pedantic --display-info --display-experimental \
        --tag-display-limit 0 "${debs[@]}"
    if [ "$status" -ne 0 ] || [ -n "$output" ]; then
        printf '%s (status %s):\n%s\n%s\n' "${debs[*]}" "$status" "$output" "$stderr" >&2
        return 1
    fi
}
