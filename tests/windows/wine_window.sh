#!/usr/bin/env bash
# Runs a program of the window under Wine on a virtual X display, in a prefix
# that wine_window_prefix.sh made for the desk WIDTHxHEIGHT at DPI; the
# program learns which desk it was meant for (SONDRIX_EXPECT_SCREEN and
# SONDRIX_EXPECT_DPI) so that it can refuse another.
#
# Usage: wine_window.sh PREFIX WIDTHxHEIGHT DPI PROGRAM [ARGUMENTS...]
set -euo pipefail
prefix=$1
screen=$2
dpi=$3
shift 3
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export SONDRIX_EXPECT_SCREEN=$screen SONDRIX_EXPECT_DPI=$dpi
wine=$(command -v wine64 || command -v wine)
status=0
xvfb-run -a -s "-screen 0 ${screen}x24" "$wine" "$@" || status=$?
wineserver -k 2>/dev/null || true
exit "$status"
