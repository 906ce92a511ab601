#!/bin/bash
# The sondrix command line: Qt's own options reach Qt, the program's own are
# read strictly after them, and what needs no window needs no display.
# Usage: command_line_test.sh PATH_TO_SONDRIX
set -u
sondrix=$1
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Runs the program with no display at all and checks exit status and output.
check() {
    local name=$1 status=$2 pattern=$3
    shift 3
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$scratch" \
        "$sondrix" "$@" >"$scratch/out" 2>&1 </dev/null
    local got=$?
    if [ "$got" -ne "$status" ] || ! grep -qE -- "$pattern" "$scratch/out"; then
        echo "FAIL $name: exit $got (expected $status), output:"
        sed 's/^/    /' "$scratch/out"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

version='^sondrix [0-9]'
check "Qt's -platform passes through" 0 "$version" -platform offscreen --version
# -geometry is the X11 spelling of -qwindowgeometry, taken on X11 only.
check "Qt's -style and -qwindowgeometry pass through" 0 "$version" \
    -platform offscreen -style Fusion -qwindowgeometry 800x600+10+10 --version
check "--version needs no display" 0 "$version" --version
check "--help needs no display and names --reset-settings" 0 "--reset-settings" --help
check "a misspelt option is refused before any window" 2 "unknown option --simulat" --simulat
for qt in "-platform offscreen" "-style Fusion" "-geometry 800x600+0+0"; do
    # shellcheck disable=SC2086 # the option and its value are two words
    check "a misspelt option is named behind $qt" 2 "unknown option --simulat " $qt --simulat
done
check "--headless takes no window options" 2 "unknown option -platform" \
    --headless -platform offscreen --script -
check "--headless runs without a display" 0 "" --headless --script -
check "no display says how to run without one" 2 "no display.*--headless --script" --simulate
check "a display that cannot be opened says so too" 2 "no display could be opened.*--headless" \
    -platform xcb --simulate
check "--script without --headless is refused" 2 "--script works with --headless only" \
    --script -
check "--sim-fast without --simulate is refused" 2 "--sim-fast works with --simulate only" \
    --headless --script - --sim-fast
check "--users without --simulate is refused" 2 "options work with --simulate only" \
    --headless --script - --users 3
check "--port without a value says so" 2 "--port needs a value" --headless --script - --port
exit $((failures > 0))
