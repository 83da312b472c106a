#!/usr/bin/env bash
# Builds and runs every test twice, warnings as errors both times.
# First the configuration the Debian packages ship (Release, hardened, the tool with
# Boost and the C++ runtime linked in): the unit and process tests run its code; the
# packages are built once with dpkg-buildpackage from a copy of the source (running the
# unit tests), and the end-to-end and packaging tests run the tool as its package
# installs it; lintian on the .changes, blhc on the build log, hardening-check, checks of
# debian/rules and the upstream tarball, a second build from the source package without
# tests (the same bytes) and autopkgtest in a clean testbed check the packages. Nothing
# is installed on this machine but the Debian packages the tests need (deps.sh).
# Then libvosyncloc's thread test under ThreadSanitizer (a debug build of that test alone).
# Last a clang build under AddressSanitizer + UndefinedBehaviorSanitizer that also runs
# each fuzz target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release -DVOSYNCLOC_TESTS=ON \
    -DVOSYNCLOC_STATIC_RUNTIME=ON -DVOSYNCLOC_HARDENING=ON \
    -DVOSYNCLOC_SANITIZE=OFF -DVOSYNCLOC_FUZZ=OFF -DVOSYNCLOC_WERROR=ON >/dev/null
cmake --build build-test -j2
ctest --test-dir build-test --output-on-failure -j2

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DVOSYNCLOC_TSAN=ON \
    -DVOSYNCLOC_WERROR=ON >/dev/null
cmake --build build-tsan -j2 --target vosyncloc_c_test
ctest --test-dir build-tsan -R '^vosyncloc\.c_interface$' --output-on-failure

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVOSYNCLOC_SANITIZE=ON -DVOSYNCLOC_FUZZ=ON -DVOSYNCLOC_WERROR=ON >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j2
