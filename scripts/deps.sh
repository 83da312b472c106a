#!/usr/bin/env bash
# Installs the Debian packages a task needs, only when some are missing.
# Usage: scripts/deps.sh build|test|bench
set -euo pipefail

build=(cmake make g++ libboost-program-options-dev libboost-filesystem-dev)
# dpkg-buildpackage (dpkg-dev) and debhelper build the Debian packages, git lists the
# files of the upstream tarball; lintian, blhc and devscripts' hardening-check check them;
# autopkgtest runs their tests of the installed packages in a clean Debian testbed that
# mmdebstrap makes, both in user namespaces that uidmap's helpers map subordinate ids
# into; the library's consumers are built
# with pkgconf's pkg-config; the shell assignments are evaluated by every POSIX shell
# Debian packages (dash, bash, zsh, mksh, posh, yash, busybox sh and ksh93), also in a
# Shift_JIS locale that localedef (from locales) generates; the local facts are gathered
# by ansible-core and facter, and linked into place by puppet; abigail-tools compares the
# library's ABI with its baseline; the person-line escaper's table is checked against
# unicode-data.
test=("${build[@]}" libgtest-dev clang libclang-rt-14-dev bats util-linux python3 python3-yaml
      unicode-data dpkg-dev debhelper blhc autopkgtest mmdebstrap uidmap bash-completion dash zsh mksh posh yash busybox ksh93u+m locales
      man-db git lintian devscripts pkgconf ansible-core facter puppet abigail-tools)
bench=("${build[@]}" valgrind hyperfine rapidjson-dev libbenchmark-dev systemd time python3)

case "${1:-build}" in
    build) wanted=("${build[@]}") ;;
    test) wanted=("${test[@]}") ;;
    bench) wanted=("${bench[@]}") ;;
    *) echo "usage: $0 build|test|bench" >&2; exit 2 ;;
esac

# autopkgtest's unshare testbed and mmdebstrap map the caller's subordinate ids into their
# user namespaces; root has none unless given some. Root gets the first 65536 ids past
# every range given so far (useradd gives each new user one of its own).
give_root_subordinate_ids() {
    local file start
    for file in /etc/subuid /etc/subgid; do
        ! grep -q '^root:' "$file" 2>/dev/null || continue
        start=$(awk -F: 'BEGIN { end = 100000 }
            $2 + $3 > end { end = $2 + $3 } END { print end }' "$file" 2>/dev/null || echo 100000)
        if [ "$file" = /etc/subuid ]; then
            usermod --add-subuids "$start-$((start + 65535))" root
        else
            usermod --add-subgids "$start-$((start + 65535))" root
        fi
        echo "gave root the subordinate ids $start-$((start + 65535)) in $file" >&2
    done
}
if [ "${1:-}" = test ] && [ "$(id -u)" -eq 0 ]; then
    give_root_subordinate_ids
fi

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
