#!/usr/bin/env bash
# Builds vosyncloc (release) and runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVOSYNCLOC_TESTS=OFF >/dev/null
cmake --build build -j2 --target vosyncloc >/dev/null
exec build/app/vosyncloc "$@"
