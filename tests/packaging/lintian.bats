#!/usr/bin/env bats
# What Debian asks of the packages, as its checkers see them: lintian has nothing to
# say about the source package or any binary package, pedantic, informational and
# experimental tags included; blhc finds every hardening flag on every line of the
# build log. A tag that truly cannot be met is overridden in the package itself
# (debian/<package>.lintian-overrides, debian/source/lintian-overrides, each with its
# reason); lintian then hides it, and reports an override that nothing needs.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    [ -d "$DEB_DIR" ] || skip_all "no package built"
}

# The tags that no override can hide, each with its reason (the README names it too):
#   a -dbgsym package is made by debhelper, which in Debian 12 (13.11) copies its
#   package's Static-Built-Using into it and gives it no lintian overrides.
EXPECTED_TAGS="W: vosyncloc-dbgsym: unknown-field Static-Built-Using"

@test "lintian --pedantic -I -E reports no tag on the source or any binary package" {
    command -v lintian >/dev/null || skip "lintian is not installed"
    # One run for all, through the .changes: each tag names its package.
    run --separate-stderr lintian --pedantic --display-info --display-experimental \
        --tag-display-limit 0 "$(changes_file)"
    if [ "$status" -ne 0 ] || [ "$output" != "$EXPECTED_TAGS" ]; then
        printf '%s (status %s):\n%s\n%s\n' "$(changes_file)" "$status" "$output" "$stderr" >&2
        return 1
    fi
}

@test "blhc finds the hardening flags on every compile and link line of the build" {
    command -v blhc >/dev/null || skip "blhc is not installed"
    run blhc --all "$DEB_DIR/build.log"
    [ "$status" -eq 0 ] || { echo "$output" >&2; false; }
}
