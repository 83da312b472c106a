#!/usr/bin/env bats
# The packages as apt installs them (autopkgtest installs them before its test "install"
# runs this): a working vosyncloc with its manual pages and completions and the library
# in the loader's cache; and `apt-get purge` takes all of it away, with the fact links
# that the playbook and the manifest made. It purges the packages of the machine it runs
# on, so it runs only in autopkgtest's testbed (debian/tests/install), which is thrown
# away afterwards.

bats_require_minimum_version 1.5.0
load helpers

setup_file() {
    [ -n "${AUTOPKGTEST_TMP:-}" ] || skip_all "not in an autopkgtest testbed: run by debian/tests/install"
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
    run bash --norc --noprofile -c '
        source /usr/share/bash-completion/bash_completion
        __load_completion vosyncloc && complete -p vosyncloc'
    [ "$status" -eq 0 ]
    [ "$output" = "complete -F _vosyncloc vosyncloc" ]
}

@test "zsh finds the completion in its vendor directory" {
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
