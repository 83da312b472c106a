#!/usr/bin/env bash
# Builds the release tool, the floor program and the benchmarks, then prints one table:
# per form of output the instructions, median wall time and peak memory of vosyncloc,
# the floor and systemd-path with the ratios to the floor; then the JSON library's
# throughput against a reference validating reader; then libvosyncloc's lookups
# against runs of the tool. Not a test: CI skips it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh bench

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVOSYNCLOC_TESTS=OFF \
    -DVOSYNCLOC_BENCH=ON >/dev/null
cmake --build build-bench -j2 >/dev/null

python3 bench/measure.py build-bench
echo
build-bench/bench/json_bench --benchmark_format=json --benchmark_min_time=0.2 \
    2>/dev/null | python3 bench/json_ratios.py
echo
build-bench/bench/library_bench --benchmark_format=json --benchmark_min_time=0.5 \
    2>/dev/null | python3 bench/library_ratios.py
