#!/usr/bin/env bash
# Makes a Wine prefix for the window's tests: one desk, a virtual desktop of
# WIDTHxHEIGHT pixels at DPI dots per inch (96: 100 %, 192: 200 %), drawn by
# Wine itself with title bars and frames, as a Windows screen shows them.
#
# Usage: wine_window_prefix.sh PREFIX WIDTHxHEIGHT DPI
set -euo pipefail
prefix=$1
screen=$2
dpi=$3
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || command -v wine)
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i
fi
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d "$screen" /f \
    >/dev/null
wineserver -w
