#!/usr/bin/env bash
# completion_test.sh COMPLETION_SCRIPT SONDRIX_CLI
# Loads the bash completion of sondrix-cli into this shell and asks it what a
# person gets on Tab: commands, options, option values and file names.
set -euo pipefail
script=$1
cli=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

bash -n "$script" || fail "the completion script is not valid bash"
# shellcheck source=/dev/null
source "$script"
complete -p sondrix-cli | grep -q -- '-F _sondrix_cli' || fail "sondrix-cli has no completion function"

# complete WORD...: the completions of the last word of "sondrix-cli WORD...".
complete_line() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _sondrix_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$@" | paste -sd ' ')
    [ "$got" = "$want" ] || fail "sondrix-cli $* <Tab>: expected '$want', got '$got'"
}

# Commands, from the program's own help.
expect "backup" ba
expect "restore" --simulate re
expect "get set" time ""
commands=$(complete_line "")
for command in info capture users backup restore log firmware send; do
    grep -qx "$command" <<<"$commands" || fail "the command $command is not offered"
done

# Options and their values.
expect "--simulate" --simu
expect "--json" --js
expect "-q" -q
expect "115200 14400 19200" --baud 1
expect "oldest-to-last" log -o x.log --option old
grep -qx COM1 <<<"$(complete_line --port CO)" || fail "--port does not offer COM1"

# File names after -o, folders for backup.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/records"
touch "$scratch/image.bmp" "$scratch/image.raw"
expect "$scratch/image.bmp $scratch/image.raw" capture -o "$scratch/image."
expect "$scratch/records" backup "$scratch/r"
expect "$scratch/records" --json backup "$scratch/"
echo "bash completion of sondrix-cli works"
