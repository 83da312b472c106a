#!/usr/bin/env bash
# Installs the Debian packages a task needs, only when some are missing.
# Usage: scripts/deps.sh build|test|bench
set -euo pipefail

build=(cmake make g++ libboost-program-options-dev libboost-filesystem-dev)
# dpkg-buildpackage (dpkg-dev) and debhelper build the Debian packages, git lists the
# files of the upstream tarball; lintian, blhc and devscripts' hardening-check check them,
# autopkgtest runs their tests of the installed packages; the library's consumers are built
# with pkgconf's pkg-config; the shell assignments are evaluated by every POSIX shell
# Debian packages (dash, bash, zsh, mksh, posh, yash, busybox sh and ksh93), also in a
# Shift_JIS locale that localedef (from locales) generates; the local facts are gathered
# by ansible-core and facter, and linked into place by puppet; abigail-tools compares the
# library's ABI with its baseline; the person-line escaper's table is checked against
# unicode-data.
test=("${build[@]}" libgtest-dev clang libclang-rt-14-dev bats util-linux python3 python3-yaml
      unicode-data dpkg-dev debhelper blhc autopkgtest bash-completion dash zsh mksh posh yash busybox ksh93u+m locales
      man-db git lintian devscripts pkgconf ansible-core facter puppet abigail-tools)
bench=("${build[@]}" valgrind hyperfine rapidjson-dev libbenchmark-dev systemd time python3)

case "${1:-build}" in
    build) wanted=("${build[@]}") ;;
    test) wanted=("${test[@]}") ;;
    bench) wanted=("${bench[@]}") ;;
    *) echo "usage: $0 build|test|bench" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "missing Debian packages (install them as root): ${missing[*]}" >&2
    exit 1
fi
echo "installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# Other installs may hold dpkg's lock for a while: wait for it rather than fail.
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" \
    >/dev/null
