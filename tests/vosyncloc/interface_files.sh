#!/usr/bin/env bash
# The shared library's interface as built: its SONAME, shared linking of the C++ runtime
# and Boost, a dynamic symbol table holding exactly the functions of the header, each in
# the Debian symbols file, and a manual page with a section for each that renders
# without warnings.
# Usage: interface_files.sh LIBRARY HEADER MANPAGE SYMBOLS
set -euo pipefail
library=$1 header=$2 manpage=$3 symbols=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

dynamic=$(readelf -d "$library")
grep -q 'Library soname: \[libvosyncloc.so.1\]' <<<"$dynamic" || fail "SONAME: $dynamic"
for needed in libstdc++.so libboost_filesystem.so; do
    grep -q "Shared library: \[$needed" <<<"$dynamic" || fail "not linked shared: $needed"
done

declared=$(grep -oE '\bvosyncloc_[a-z_]+\(' "$header" | tr -d '(' | sort -u)
exported=$(nm -D --defined-only "$library" | awk '{ print $3 }' | sort)
[ "$exported" = "$declared" ] ||
    fail "exported symbols differ from the header's functions:
$(diff <(echo "$declared") <(echo "$exported") || true)"

listed=$(sed -n 's/^ \(vosyncloc_[a-z_]*\)@Base [0-9.]*$/\1/p' "$symbols" | sort)
[ "$(head -n 1 "$symbols")" = "libvosyncloc.so.1 libvosyncloc1 #MINVER#" ] &&
    [ "$listed" = "$exported" ] || fail "$symbols does not list exactly the exported symbols"

for function in $declared; do
    grep -qE "^\.SS .*\b$function\b" "$manpage" || fail "no section for $function in $manpage"
done
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$manpage" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page warnings: $warnings"
echo "interface files: ok ($(wc -w <<<"$exported") functions)"
