#!/usr/bin/env bash
# Builds vosyncloc and libvosyncloc (release) and runs the tool with the given arguments;
# `cmake --install build` then installs both.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVOSYNCLOC_TESTS=OFF >/dev/null
cmake --build build -j2 >/dev/null
exec build/app/vosyncloc "$@"
