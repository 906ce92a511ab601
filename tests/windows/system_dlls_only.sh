#!/usr/bin/env bash
# The Windows programs must run from an unpacked ZIP with nothing beside them:
# every DLL they import has to be one that every Windows has.
#
# Usage: system_dlls_only.sh OBJDUMP PROGRAM.exe...
set -euo pipefail
objdump=$1
shift
system_dlls='^(ADVAPI32|KERNEL32|USER32|GDI32|COMCTL32|comdlg32|SHELL32|SETUPAPI|WS2_32|OLE32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
shopt -s nocasematch
status=0
for program in "$@"; do
    dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')
    [ -n "$dlls" ] || { echo "FAIL: $program imports no DLL at all (not a PE program?)"; status=1; }
    while read -r dll; do
        [ -z "$dll" ] && continue
        if [[ ! "$dll" =~ $system_dlls ]]; then
            echo "FAIL: $(basename "$program") needs $dll, which Windows does not have"
            status=1
        fi
    done <<<"$dlls"
    [ "$status" -eq 0 ] && echo "ok: $(basename "$program") imports only system DLLs: $(echo $dlls)"
done
exit "$status"
