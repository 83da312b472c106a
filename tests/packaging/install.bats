#!/usr/bin/env bats
# `cmake --install` into a staging directory (DESTDIR) puts exactly the files
# that the packages take where Debian keeps them, with the usual modes, and the
# tool works there.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    export STAGE="$BATS_FILE_TMPDIR/stage"
    DESTDIR="$STAGE" cmake --install "$BUILD_DIR" --prefix /usr >"$BATS_FILE_TMPDIR/install.log"
}

@test "the install holds exactly the files of every package" {
    local expected actual
    expected=$(installed_files | sed 's|^|usr/|' | sort)
    actual=$(cd "$STAGE" && find . ! -type d | sed 's|^\./||' | sort)
    assert_same_lines "expected and installed files" "$expected" "$actual"
    # No directory is made but those that lead to the files.
    [ -z "$(find "$STAGE" -type d -empty)" ]
}

@test "the programs are executable by all and the other files readable by all" {
    local file
    while read -r file; do
        [ "$(stat -c %a "$STAGE/usr/$file")" = 755 ] || { echo "$file" >&2; false; }
    done < <(executable_files)
    while read -r file; do
        [ -L "$STAGE/usr/$file" ] || [ "$(stat -c %a "$STAGE/usr/$file")" = 644 ] ||
            { echo "$file" >&2; false; }
    done < <(installed_files | grep -vxF "$(executable_files)")
    [ -z "$(find "$STAGE" -type d ! -perm 755)" ]
}

@test "the installed binary answers like the one under test" {
    run --separate-stderr "$STAGE/usr/bin/vosyncloc"
    [ "$status" -eq 0 ]
    [ "$output" = "$("$VOSYNCLOC")" ]
}

@test "the installed manual pages and completions are the built and source files" {
    local name
    cmp "$MANPAGE" "$STAGE/usr/share/man/man1/vosyncloc.1"
    cmp "$BUILD_DIR/man/man3/vosyncloc.3" "$STAGE/usr/share/man/man3/vosyncloc.3"
    for name in $(manual_page_functions); do
        [ "$(cat "$STAGE/usr/share/man/man3/$name.3")" = ".so man3/vosyncloc.3" ]
    done
    cmp "$SOURCE_DIR/completions/bash/vosyncloc" \
        "$STAGE/usr/share/bash-completion/completions/vosyncloc"
    cmp "$SOURCE_DIR/completions/zsh/_vosyncloc" \
        "$STAGE/usr/share/zsh/vendor-completions/_vosyncloc"
}
