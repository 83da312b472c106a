#!/usr/bin/env bash
# libvosyncloc as built, against the ABI baseline of its SONAME
# (packaging/libvosyncloc.so.1.abi, and the result codes' values in
# packaging/libvosyncloc.so.1.constants): a change to what a program built against the
# baseline uses fails, with abidiff's report or the changed values; an addition passes.
# Reports itself skipped (77) without abidiff, or for a library built without debug
# information.
# Usage: abi_check.sh LIBRARY BASELINE HEADER_DIR CONSTANTS
set -uo pipefail
library=$1 baseline=$2 headers=$3 constants=$4

# Every constant of the baseline keeps its value; new ones may follow.
here=$(dirname "$0")
current=$(sh "$here/../../packaging/interface_constants.sh" "$headers/..") ||
    { echo "FAIL: cannot read the constants of $headers" >&2; exit 1; }
changed=$(grep -vxF -f <(echo "$current") "$constants")
if [ -n "$changed" ]; then
    echo "FAIL: constants of $constants changed or gone; now:" >&2
    grep -F -f <(cut -d' ' -f1 <<<"$changed" | sed 's/$/ /') <<<"$current" >&2
    exit 1
fi
command -v abidiff >/dev/null || { echo "skipped: abidiff is not installed"; exit 77; }
readelf -S -W "$library" | grep -q ' \.debug_info ' ||
    { echo "skipped: $library has no debug information"; exit 77; }

# Additions are left out of the comparison: a program built against the baseline never
# uses them. Every other change of the exported functions and the types they reach (a
# parameter's or a return type's size, a removed function, a changed version node)
# counts, whether or not abidiff can tell that it breaks programs.
report=$(abidiff --no-added-syms --exported-interfaces-only --headers-dir2 "$headers" \
    --drop-private-types "$baseline" "$library" 2>&1)
status=$?
# A bit field: 1 an error, 2 a usage error, 4 a change, 8 one known to break programs.
if ((status & 3)); then
    echo "FAIL: abidiff could not compare (status $status): $report" >&2
    exit 1
fi
if ((status & 12)); then
    echo "FAIL: $library changes the ABI of $baseline:" >&2
    echo "$report" >&2
    exit 1
fi
echo "the ABI of $baseline, or more"
