#!/usr/bin/env bats
# The manual page agrees with the built tool: same keys, same options, and it
# renders cleanly with the project's version filled in.

bats_require_minimum_version 1.5.0
load helpers

@test "the KEYS section lists exactly the tool's keys, in the tool's order" {
    assert_same_lines "tool keys and manual page keys" "$(tool_keys)" "$(manpage_keys)"
    [ "$(tool_keys | wc -l)" -eq 15 ]
}

@test "every key of the KEYS section is one the tool accepts" {
    local key
    while read -r key; do
        run --separate-stderr "$VOSYNCLOC" "$key"
        [ "$status" -eq 0 ] || { echo "vosyncloc $key: $stderr" >&2; return 1; }
        [ "${#lines[@]}" -eq 1 ]
    done < <(manpage_keys)
}

@test "the example listing shows the tool's keys in the tool's order" {
    local example
    example=$(awk '/^\$ \\fBvosyncloc\\fR$/ { on = 1; next }
                   on && /^\.fi/ { exit }
                   on { sub(/=.*/, ""); print }' "$SOURCE_DIR/man/vosyncloc.1")
    assert_same_lines "tool keys and example keys" "$(tool_keys)" "$example"
}

@test "every option of the tool's help is described under OPTIONS" {
    local options option
    options=$(awk '/^\.SH /{ on = ($0 ~ /^\.SH OPTIONS/) } on' "$SOURCE_DIR/man/vosyncloc.1")
    run --separate-stderr "$VOSYNCLOC" --help
    [ "$status" -eq 0 ]
    local help_options
    help_options=$(grep -o -- '--[a-z]*' <<<"$output" | sort -u)
    [ "$(wc -l <<<"$help_options")" -eq 7 ]
    while read -r option; do
        grep -q -- "\\\\-\\\\-${option#--}" <<<"$options" ||
            { echo "option $option missing from OPTIONS" >&2; return 1; }
    done <<<"$help_options"
}

@test "the built page carries the version and renders without warnings" {
    local page
    page=$(cat "$MANPAGE")
    [[ "$page" == *'.TH VOSYNCLOC 1 '*"\"vosyncloc $VOSYNCLOC_VERSION\""* ]]
    [[ "$page" != *@PROJECT_VERSION@* ]]
    command -v groff >/dev/null || skip "groff is not installed"
    run --separate-stderr groff -man -Tutf8 -ww -z <<<"$page"
    [ "$status" -eq 0 ]
    [ -z "$stderr" ] || { echo "$stderr" >&2; false; }
}
