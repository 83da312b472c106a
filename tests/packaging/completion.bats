#!/usr/bin/env bats
# The bash completion offers what the tool accepts where it accepts it; both
# completions know exactly the tool's keys.

bats_require_minimum_version 1.5.0
load helpers

BASH_COMPLETION_FRAMEWORK=/usr/share/bash-completion/bash_completion

# Completes LINE (the cursor at its end) the way readline hands it over: the
# words split at blanks and at "=", COMP_* set, the completion function called.
# Prints the offered words sorted, on one line. With MODE "framework" the
# bash-completion framework is loaded first, with "plain" it is not.
complete_line() {
    local mode=$1 line=$2
    bash --norc --noprofile -c '
        mode=$1 line=$2
        if [[ $mode == framework ]]; then source "$3" || exit 2; fi
        source "$4" || exit 2
        words=() part=""
        read -ra parts <<<"$line"
        for part in "${parts[@]}"; do
            while [[ $part == *=* ]]; do
                [[ -n ${part%%=*} ]] && words+=("${part%%=*}")
                words+=("=")
                part=${part#*=}
            done
            [[ -n $part ]] && words+=("$part")
        done
        [[ $line == *" " ]] && words+=("")
        COMP_WORDS=("${words[@]}")
        COMP_CWORD=$((${#words[@]} - 1))
        COMP_LINE=$line
        COMP_POINT=${#line}
        _vosyncloc vosyncloc "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | sort | paste -s -d " " -
    ' complete_line "$mode" "$line" "$BASH_COMPLETION_FRAMEWORK" \
        "$SOURCE_DIR/completions/bash/vosyncloc"
}

ALL_KEYS="configBinary daemonBinary daemonPidFile gpsMetaDataFile kaironDir kaironLibraryDir \
persistDir persistentTsmJson runtimeDir runtimeTsmJson servoDir timeKeeperDir timeReferenceDir \
vokaironcli votsmdLogFile"

# Command line (cursor at the end) | what the completion offers.
CASES=(
    "vosyncloc run|runtimeDir runtimeTsmJson"
    "vosyncloc |$ALL_KEYS"
    "vosyncloc --|--explain --help --json --location --root --shell --version"
    "vosyncloc --j|--json"
    "vosyncloc --v|--version"
    "vosyncloc --e|--explain"
    "vosyncloc --e --|--help --json --location --root --shell --version"
    "vosyncloc --location per|persistDir persistentTsmJson"
    "vosyncloc --l d|daemonBinary daemonPidFile"
    "vosyncloc --location=ti|timeKeeperDir timeReferenceDir"
    "vosyncloc --location=|$ALL_KEYS"
    "vosyncloc --json g|gpsMetaDataFile"
    "vosyncloc --json --|--explain --help --location --root --version"
    "vosyncloc --s --|--explain --help --location --root --version"
    "vosyncloc --s|--shell"
    "vosyncloc --json --sh|"
    "vosyncloc servoDir |"
    "vosyncloc servoDir --|--explain --help --json --root --shell --version"
    "vosyncloc --ver --|--explain --help --json --location --root --shell"
    "vosyncloc --location=servoDir |"
    "vosyncloc --location servoDir --j|--json"
    "vosyncloc --json=|"
    "vosyncloc Run|"
    "vosyncloc --root /us|/usr"
    "vosyncloc --r /usr/lib/x86_64-linux-gnu/../../sbi|/usr/lib/x86_64-linux-gnu/../../sbin"
    "vosyncloc --root /usr servoD|servoDir"
    "vosyncloc --root /usr --r|"
)

check_cases() {
    local mode=$1 case line expected actual failed=0
    for case in "${CASES[@]}"; do
        line=${case%%|*}
        expected=${case#*|}
        actual=$(complete_line "$mode" "$line")
        if [[ "$actual" != "$expected" ]]; then
            printf '%s: "%s<TAB>"\n  expected: %s\n  offered:  %s\n' \
                "$mode" "$line" "$expected" "$actual" >&2
            failed=1
        fi
    done
    return $failed
}

@test "without the bash-completion framework each command line gets its completions" {
    check_cases plain
}

@test "with the bash-completion framework each command line gets its completions" {
    [ -r "$BASH_COMPLETION_FRAMEWORK" ] || skip "bash-completion is not installed"
    check_cases framework
}

@test "a location joined by = is completed whole where = does not break words" {
    run bash --norc --noprofile -c '
        source "$1"
        COMP_WORDBREAKS=${COMP_WORDBREAKS//=/}
        COMP_WORDS=(vosyncloc --location=runtimeT)
        COMP_CWORD=1
        _vosyncloc vosyncloc --location=runtimeT vosyncloc
        echo "${COMPREPLY[*]}"
    ' complete_line "$SOURCE_DIR/completions/bash/vosyncloc"
    [ "$status" -eq 0 ]
    [ "$output" = "--location=runtimeTsmJson" ]
}

@test "the bash completion's keys are the tool's keys" {
    assert_same_lines "tool keys and offered keys" "$(tool_keys | sort | xargs)" \
        "$(complete_line plain 'vosyncloc ')"
}

@test "both completions offer exactly the options of the tool's help" {
    local help zsh_options
    help=$("$VOSYNCLOC" --help) || return 1
    help=$(grep -o -- '--[a-z]*' <<<"$help" | sort | paste -s -d ' ' -)
    assert_same_lines "help and bash options" "$help" "$(complete_line plain 'vosyncloc --')"
    zsh_options=$(grep -o -- "--[a-z]*=\?\[" "$SOURCE_DIR/completions/zsh/_vosyncloc" |
        tr -d '=[' | sort | paste -s -d ' ' -)
    assert_same_lines "help and zsh options" "$help" "$zsh_options"
}

@test "the zsh completion is valid zsh and names exactly the tool's keys" {
    local file="$SOURCE_DIR/completions/zsh/_vosyncloc" zsh_keys
    [ "$(head -n 1 "$file")" = "#compdef vosyncloc" ]
    zsh_keys=$(sed -n "s/^ *'\([A-Za-z]*\):.*'$/\1/p" "$file")
    assert_same_lines "tool keys and zsh keys" "$(tool_keys)" "$zsh_keys"
    command -v zsh >/dev/null || skip "zsh is not installed"
    zsh -n "$file"
}
