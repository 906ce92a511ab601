#!/usr/bin/env bash
# The per-user installer under Wine, as a person without administrator
# rights meets it: CPack makes it from the build, it installs silently (/S)
# into %LOCALAPPDATA%\Programs\Sondrix with a Start menu entry and a
# registered uninstaller, the installed sondrix.exe starts, and the
# uninstaller (/S) leaves nothing behind.
#
# Usage: wine_installer.sh PREFIX CPACK_CONFIG
# PREFIX names a booted Wine prefix; CPACK_CONFIG is the build's CPackConfig.cmake.
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
config=$2
wine=$(command -v wine64 || command -v wine)
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
}
# Runs a Windows program with a display (the installer is a window program).
wrun() {
    xvfb-run -a "$wine" "$@"
}

cpack --config "$config" -G NSIS -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "cpack could not make the installer" >&2; exit 1; }
installer=$(find "$work/package" -maxdepth 1 -name 'sondrix-*-win64.exe' | head -n 1)
[ -f "$installer" ] || { echo "no installer in $work/package" >&2; exit 1; }
echo "installer: $(basename "$installer"), $(stat -c %s "$installer") bytes"

user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
home="$WINEPREFIX/drive_c/users/$user"
folder="$home/AppData/Local/Programs/Sondrix"
shortcut="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Sondrix.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sondrix'

cp "$installer" "$work/setup.exe"
wrun "$work/setup.exe" /S
for file in sondrix.exe sondrix-cli.exe README.txt LICENSE.txt Uninstall.exe; do
    [ -f "$folder/$file" ] && pass "installed $file" || fail "$file is not in $folder"
done
[ -f "$shortcut" ] && pass "the Start menu has Sondrix" || fail "no Start menu entry"
if "$wine" reg query "$uninstall_key" /v UninstallString >"$work/reg.txt" 2>&1; then
    pass "the uninstaller is registered for the user"
else
    fail "no uninstaller under $uninstall_key"
fi
if grep -q $'\r$' "$folder/README.txt" && ! grep -q '/dev/\|apt-get\|apt install' "$folder/README.txt"; then
    pass "README.txt has Windows line ends and a Windows quick start"
else
    fail "README.txt has Unix line ends or speaks of apt or /dev"
fi
version=$(wrun "$folder/sondrix.exe" --version 2>/dev/null | tr -d '\r')
[[ "$version" == "sondrix "[0-9]* ]] && pass "the installed sondrix.exe says: $version" ||
    fail "the installed sondrix.exe --version printed: $version"

# The uninstaller copies itself away and returns at once: wait for it.
wrun "$folder/Uninstall.exe" /S
for _ in $(seq 100); do
    [ -e "$folder" ] || break
    sleep 0.3
done
[ ! -e "$folder" ] && pass "the program folder is gone" ||
    fail "left behind: $(find "$folder" | head -n 5 | tr '\n' ' ')"
[ ! -e "$shortcut" ] && pass "the Start menu entry is gone" || fail "the Start menu entry is left"
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1 ||
    "$wine" reg query 'HKCU\Software\Sondrix' >/dev/null 2>&1; then
    fail "registry keys of Sondrix are left"
else
    pass "no registry key of Sondrix is left"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the installer installs, starts and uninstalls cleanly"
