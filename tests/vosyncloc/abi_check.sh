#!/usr/bin/env bash
# libvosyncloc as built, against the ABI baseline of its SONAME
# (packaging/libvosyncloc.so.1.abi): a change to what a program built against the
# baseline uses fails, with abidiff's report; an addition passes. Reports itself skipped
# (77) without abidiff, or for a library built without debug information.
# Usage: abi_check.sh LIBRARY BASELINE HEADER_DIR
set -uo pipefail
library=$1 baseline=$2 headers=$3
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
