#!/usr/bin/env bash
# install_test.sh BUILD_DIR VERSION CLI_EXPECTED
# Makes the .deb with CPack, unpacks it with dpkg -x into a scratch root and
# checks that it holds what a desktop needs and that its programs run there.
set -euo pipefail
build=$1
version=$2
cli_expected=$3
scratch=$build/install-test
root=$scratch/root
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch"
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    fail "cpack could not build the package"
fi
debs=("$scratch"/package/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}
dpkg -x "$deb" "$root"

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
programs=(sondrix hlxsim)
if [ "$cli_expected" = 1 ]; then
    programs+=(sondrix-cli)
fi
for program in "${programs[@]}"; do
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is missing"
    [ -s "$root/usr/share/man/man1/$program.1" ] || fail "the man page of $program is missing"
    grep -q "^\.TH ${program^^} 1" "$root/usr/share/man/man1/$program.1" ||
        fail "the man page of $program has no .TH line"
done

# The desktop entry starts an installed program and names an installed icon.
desktop=$root/usr/share/applications/sondrix.desktop
[ -f "$desktop" ] || fail "no desktop entry"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n1)
[ -x "$root/usr/bin/$exec_program" ] || fail "the desktop entry starts $exec_program, not installed"
icon=$(sed -n 's/^Icon=//p' "$desktop")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon.*" >/dev/null ||
    fail "the desktop entry's icon $icon is not installed"

# Every library the programs load directly comes from a package the .deb
# depends on, and the Qt platform plugins are among them.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
echo "$depends" | grep -qx qt6-qpa-plugins || fail "the package does not depend on qt6-qpa-plugins"
libraries=$(ldconfig -p)
for program in "${programs[@]}"; do
    for library in $(readelf -d "$root/usr/bin/$program" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
        path=$(awk -v lib="$library" '$1 == lib && !found {print $NF; found = 1}' <<<"$libraries")
        [ -n "$path" ] || fail "$program needs $library, which is not on this machine"
        # dpkg knows a library by the path its package gave, before or
        # after the /usr merge.
        owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null || true)
        owner=${owner%%:*}
        [ -n "$owner" ] || fail "no package owns $path"
        echo "$depends" | grep -qx "$owner" ||
            fail "$program needs $library from $owner, which the package does not depend on"
    done
done

# The programs run from the scratch root.
line="Sondrix Version $version"
[ "$("$root/usr/bin/sondrix" --version)" = "$line" ] || fail "sondrix --version is not '$line'"
[ "$("$root/usr/bin/hlxsim" --version)" = "hlxsim, $line" ] || fail "hlxsim --version"
"$root/usr/bin/sondrix" --help | grep -q -- "--simulate" || fail "sondrix --help"
if [ "$cli_expected" = 1 ]; then
    output=$("$root/usr/bin/sondrix-cli" --simulate info) || fail "sondrix-cli --simulate info failed"
else
    output=$("$root/usr/bin/hlxsim" --help) || fail "hlxsim --help failed"
fi
[ -n "$output" ] || fail "no output from the installed program"
echo "$output"
echo "installed package $(basename "$deb") works from $root"
