#!/bin/sh
# Prints each constant of libvosyncloc's C interface that compiled programs keep, the
# result codes, as "NAME VALUE" lines in the header's order: the ABI baseline holds them
# beside the functions, whose int results say nothing of these values.
# Usage: interface_constants.sh INCLUDE_DIR [CC]   (INCLUDE_DIR holds vosyncloc/vosyncloc.h)
set -eu
include=$1 cc=${2:-cc}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
names=$(sed -n 's/^ *\(VOSYNCLOC_[A-Z_]*\) = .*/\1/p' "$include/vosyncloc/vosyncloc.h")
{
    printf '#include <stdio.h>\n#include <vosyncloc/vosyncloc.h>\nint main(void) {\n'
    for name in $names; do
        printf '    printf("%%s %%ld\\n", "%s", (long)%s);\n' "$name" "$name"
    done
    printf '    return 0;\n}\n'
} >"$work/constants.c"
"$cc" -I"$include" -o "$work/constants" "$work/constants.c"
"$work/constants"
