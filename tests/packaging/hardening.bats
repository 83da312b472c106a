#!/usr/bin/env bats
# Every ELF file in the packages carries Debian's hardening, as hardening-check
# (devscripts) sees it: a position-independent executable, stack protection,
# fortified libc calls, read-only relocations and immediate binding.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    [ -d "$DEB_DIR/root" ] || { skip_all "no package built"; return 0; }
    command -v hardening-check >/dev/null || skip_all "hardening-check (devscripts) is not installed"
}

# The packaged ELF files, one a line.
packaged_elf_files() {
    local file
    while IFS= read -r -d '' file; do
        [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] && echo "$file"
    done < <(find "$DEB_DIR/root" -type f -print0)
}

@test "hardening-check reports every feature present in each packaged ELF file" {
    local file report feature missing failed=0 found=0
    while read -r file; do
        found=1
        report=$(hardening-check "$file") || true
        missing=''
        for feature in "Position Independent Executable" "Stack protected" \
            "Fortify Source functions" "Read-only relocations" "Immediate binding"; do
            # A shared library is no executable; hardening-check ignores PIE there.
            grep -Eq "^ $feature: (yes|no, regular shared library \(ignored\))" <<<"$report" ||
                missing+="$feature; "
        done
        if [ -n "$missing" ]; then
            printf 'missing: %s\n%s\n' "$missing" "$report" >&2
            failed=1
        fi
    done < <(packaged_elf_files)
    [ "$found" = 1 ] || { echo "no ELF file in $DEB_DIR/root" >&2; false; }
    return $failed
}
