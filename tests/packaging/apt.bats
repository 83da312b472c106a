#!/usr/bin/env bats
# `apt-get install ./vosyncloc_*.deb` (with the other packages of the source)
# gives a working vosyncloc with its manual pages and completions and the
# library in the loader's cache, and `apt-get purge` takes all of it away, with
# the fact links that the playbook and the manifest made.
# Runs only inside a private mount namespace (in-private-mounts.sh) where
# /usr, /var and /etc are overlays on a tmpfs: apt and dpkg change the
# overlays, never the machine's own system.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    if [ "${IN_PRIVATE_MOUNTS:-}" != 1 ] ||
        [ "$(readlink /proc/self/ns/mnt)" = "$(readlink /proc/1/ns/mnt)" ]; then
        skip_all "not in a private mount namespace: run through in-private-mounts.sh"
        return
    fi
    if ! command -v apt-get >/dev/null; then
        skip_all "apt-get is not installed"
        return
    fi
    local debs
    mapfile -t debs < <(deb_files)
    if [ ! -f "${debs[0]}" ]; then
        skip_all "no package built"
        return
    fi

    local layers="$BATS_FILE_TMPDIR/layers" dir
    mkdir -p "$layers"
    if ! mount -t tmpfs tmpfs "$layers"; then
        skip_all "cannot mount a tmpfs"
        return
    fi
    export MOUNTED=$layers
    for dir in usr var etc; do
        mkdir -p "$layers/$dir.upper" "$layers/$dir.work"
        if ! mount -t overlay overlay \
            -o "lowerdir=/$dir,upperdir=$layers/$dir.upper,workdir=$layers/$dir.work" "/$dir"; then
            skip_all "cannot mount an overlay on /$dir"
            return
        fi
        MOUNTED="/$dir $MOUNTED"
        if [ "$(findmnt -n -o FSTYPE --mountpoint "/$dir")" != overlay ]; then
            skip_all "/$dir is not an overlay"
            return
        fi
    done

    export DEBIAN_FRONTEND=noninteractive
    # Without this flag man-db's trigger skips rebuilding its index, which is
    # slow and not needed to find a page.
    rm -f /var/lib/man-db/auto-update
    apt-get install -y -q --no-install-recommends "${debs[@]}" \
        >"$BATS_FILE_TMPDIR/install.log" 2>&1 ||
        { cat "$BATS_FILE_TMPDIR/install.log" >&3; return 1; }
}

teardown_file() {
    # Only what setup_file mounted, newest first; lazily, since a process may
    # still hold a file of an overlay. Then bats can clean its directory.
    local dir
    for dir in ${MOUNTED:-}; do
        umount -l "$dir"
    done
}

@test "the package is installed and vosyncloc on the PATH works" {
    [ "$(dpkg-query -W -f='${db:Status-Status}' vosyncloc)" = installed ]
    [ "$(command -v vosyncloc)" = /usr/bin/vosyncloc ]
    run --separate-stderr vosyncloc
    [ "$status" -eq 0 ]
    [ "${#lines[@]}" -eq 15 ]
    run --separate-stderr vosyncloc --help
    [ "$status" -eq 0 ]
    [[ "$output" == *--location* ]]
}

@test "the library's ldconfig trigger puts it in the loader's cache" {
    local cached
    cached=$(ldconfig -p | sed -n 's/^\tlibvosyncloc\.so\.1 (libc6,x86-64) => //p')
    [ "$(realpath "$cached")" = "/usr/$LIBDIR/libvosyncloc.so.$VOSYNCLOC_VERSION" ]
}

@test "man vosyncloc finds and shows the manual page" {
    command -v man >/dev/null || skip "man-db is not installed"
    [ "$(man -w vosyncloc)" = /usr/share/man/man1/vosyncloc.1.gz ]
    run --separate-stderr env MANPAGER=cat MANWIDTH=80 man vosyncloc
    [ "$status" -eq 0 ]
    [[ "$output" == *"VOSYNCLOC(1)"* ]]
    [[ "$output" == *gpsMetaDataFile* ]]
    run --separate-stderr env MANPAGER=cat MANWIDTH=80 man 3 vosyncloc_location
    [ "$status" -eq 0 ]
    [[ "$output" == *"VOSYNCLOC(3)"* ]]
}

@test "bash loads the completion on demand from the installed file" {
    [ -r /usr/share/bash-completion/bash_completion ] || skip "bash-completion is not installed"
    run bash --norc --noprofile -c '
        source /usr/share/bash-completion/bash_completion
        __load_completion vosyncloc && complete -p vosyncloc'
    [ "$status" -eq 0 ]
    [ "$output" = "complete -F _vosyncloc vosyncloc" ]
}

@test "zsh finds the completion in its vendor directory" {
    command -v zsh >/dev/null || skip "zsh is not installed"
    run zsh -c 'autoload -U compinit && compinit -u -d "$1/zcompdump" && print -r -- $_comps[vosyncloc]' zsh "$BATS_TEST_TMPDIR"
    [ "$status" -eq 0 ]
    [ "$output" = _vosyncloc ]
}

# Last: it undoes the install the tests above look at.
@test "apt-get purge takes every installed file and the fact links away" {
    mkdir -p /etc/ansible/facts.d /etc/facter/facts.d
    ln -sfn /usr/share/vosyncloc/ansible/vosyncloc.fact /etc/ansible/facts.d/vosyncloc.fact
    ln -sfn /usr/share/vosyncloc/puppet/vosyncloc.fact /etc/facter/facts.d/vosyncloc.fact
    # Unquoted: one word per package.
    apt-get purge -y -q $DEB_PACKAGES >"$BATS_TEST_TMPDIR/purge.log" 2>&1 ||
        { cat "$BATS_TEST_TMPDIR/purge.log"; false; }
    run dpkg-query -W -f='${db:Status-Status}' vosyncloc
    [ "$status" -ne 0 ] || [ "$output" = not-installed ]
    local package file
    for package in $DEB_PACKAGES; do
        while read -r file; do
            [ ! -e "/usr/$file" ] || { echo "left behind: /usr/$file"; false; }
        done < <(package_files "$package")
    done
    ! ldconfig -p | grep -F libvosyncloc || false
    ! man -w vosyncloc 2>/dev/null || false
    [ ! -L /etc/ansible/facts.d/vosyncloc.fact ] && [ ! -L /etc/facter/facts.d/vosyncloc.fact ]
}
