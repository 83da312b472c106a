#!/usr/bin/env bash
# The shared library's interface as built: its SONAME, shared linking of the C++ runtime
# and Boost, a dynamic symbol table holding exactly the functions of the header, in their
# version node, each with its version in the Debian symbols file, and a manual page with a section for each that renders
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

# Every function of the header, in the version node VOSYNCLOC_1.0, and nothing else but
# that node's own name.
node=VOSYNCLOC_1.0
declared=$(grep -oE '\bvosyncloc_[a-z_]+\(' "$header" | tr -d '(' | sort -u |
    sed "s/\$/@$node/"; echo "$node@$node")
exported=$(nm -D --defined-only "$library" | awk '{ print $3 }' |
    sed -E "s/^$node\$/$node@$node/; s/@@/@/" | sort)
[ "$exported" = "$(sort <<<"$declared")" ] ||
    fail "exported symbols differ from the header's functions in $node:
$(diff <(sort <<<"$declared") <(echo "$exported") || true)"

listed=$(sed -n 's/^ \([A-Za-z0-9_.]*@[A-Z0-9_.]*\) [0-9.]*$/\1/p' "$symbols" | sort)
[ "$(head -n 1 "$symbols")" = "libvosyncloc.so.1 libvosyncloc1 #MINVER#" ] &&
    [ "$listed" = "$exported" ] || fail "$symbols does not list exactly the exported symbols:
$(diff <(echo "$listed") <(echo "$exported") || true)"

for function in $(grep -oE '\bvosyncloc_[a-z_]+\(' "$header" | tr -d '(' | sort -u); do
    grep -qE "^\.SS .*\b$function\b" "$manpage" || fail "no section for $function in $manpage"
done
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$manpage" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page warnings: $warnings"
echo "interface files: ok ($(($(wc -w <<<"$exported") - 1)) functions in $node)"
