#!/usr/bin/env bash
# install_test.sh BUILD_DIR VERSION PACKAGE_VERSION CLI_EXPECTED
# Makes the .deb with CPack, unpacks it with dpkg -x into a scratch root and
# checks that it holds what a desktop and Debian need, that its programs run
# there, and that an ordinary user's downloads land in the user's own folder.
set -euo pipefail
build=$1
version=$2
package_version=$3
cli_expected=$4
scratch=$build/install-test
root=$scratch/root
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The last run left the program folder read-only.
[ -d "$scratch" ] && chmod -R u+w "$scratch"
rm -rf "$scratch"
mkdir -p "$scratch"
if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    fail "cpack could not build the package"
fi
# The Python module and the development files are packages of their own
# (tests/install/library_packages_test.sh).
debs=("$scratch"/package/sondrix_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one sondrix .deb, got: ${debs[*]}"
deb=${debs[0]}
dpkg -x "$deb" "$root"

[ "$(dpkg-deb -f "$deb" Version)" = "$package_version" ] || fail "package version is not $package_version"
programs=(sondrix hlxsim)
if [ "$cli_expected" = 1 ]; then
    programs+=(sondrix-cli)
fi
for program in "${programs[@]}"; do
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is missing"
    page=$root/usr/share/man/man1/$program.1.gz
    [ -s "$page" ] || fail "the compressed man page of $program is missing"
    zcat "$page" | grep -q "^\.TH ${program^^} 1" || fail "the man page of $program has no .TH line"
done
doc=$root/usr/share/doc/sondrix
head -n1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable form"
zcat "$doc/changelog.Debian.gz" | head -n1 | grep -q "^sondrix ($package_version) " ||
    fail "the Debian changelog does not start with version $package_version"

# The desktop entry starts an installed program and names an installed icon;
# the AppStream metadata names the desktop entry.
desktop_id=org.sondrix.Sondrix
desktop=$root/usr/share/applications/$desktop_id.desktop
[ -f "$desktop" ] || fail "no desktop entry"
metainfo=$root/usr/share/metainfo/$desktop_id.metainfo.xml
grep -q "<launchable type=\"desktop-id\">$desktop_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream metadata does not launch $desktop_id.desktop"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n1)
[ -x "$root/usr/bin/$exec_program" ] || fail "the desktop entry starts $exec_program, not installed"
icon=$(sed -n 's/^Icon=//p' "$desktop")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon.*" >/dev/null ||
    fail "the desktop entry's icon $icon is not installed"

# Every library the programs load directly comes from a package the .deb
# depends on, and the Qt platform plugins are among them.
depends_field=$(dpkg-deb -f "$deb" Depends)
depends=$(tr ',' '\n' <<<"$depends_field" | sed 's/^ *//; s/ .*//')
echo "$depends" | grep -qx qt6-qpa-plugins || fail "the package does not depend on qt6-qpa-plugins"
# dpkg-shlibdeps gives the C library the version the programs were built against.
grep -Eq '(^|, )libc6 \(>= [0-9.]+\)' <<<"$depends_field" || fail "libc6 has no version: $depends_field"
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
# Every program prints its version one way: its name first.
for program in sondrix hlxsim; do
    line="$program $version"
    [ "$("$root/usr/bin/$program" --version)" = "$line" ] || fail "$program --version is not '$line'"
done
"$root/usr/bin/sondrix" --help | grep -q -- "--simulate" || fail "sondrix --help"
if [ "$cli_expected" = 1 ]; then
    output=$("$root/usr/bin/sondrix-cli" --simulate info) || fail "sondrix-cli --simulate info failed"
else
    output=$("$root/usr/bin/hlxsim" --help) || fail "hlxsim --help failed"
fi
[ -n "$output" ] || fail "no output from the installed program"

# The Wireshark dissector lies where Wireshark loads global Lua plugins, and
# sondrix-cli installs the same script into a person's plugin folder.
dissector=
for candidate in "$root"/usr/lib/*/wireshark/plugins/hlx.lua "$root"/usr/lib/wireshark/plugins/hlx.lua; do
    if [ -s "$candidate" ]; then
        dissector=$candidate
        break
    fi
done
[ -n "$dissector" ] || fail "the Wireshark dissector hlx.lua is not in the package"
# Tools run as an ordinary user: as root (CI) the nobody account.
run_as_user=()
if [ "$(id -u)" = 0 ]; then
    run_as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
if [ "$cli_expected" = 1 ]; then
    HOME=$scratch/home "$root/usr/bin/sondrix-cli" --install-wireshark-plugin >/dev/null ||
        fail "sondrix-cli --install-wireshark-plugin failed"
    personal=$scratch/home/.local/lib/wireshark/plugins/hlx.lua
    cmp -s "$dissector" "$personal" || fail "sondrix-cli installs another dissector than the package's"
    # Beside the package's copy (its folder stands for Wireshark's global one
    # through WIRESHARK_PLUGIN_DIR) the install says so, and Wireshark, which
    # runs both copies, gets the protocol once and no Lua error.
    plugins=$(dirname "$dissector")
    note=$(HOME=$scratch/home WIRESHARK_PLUGIN_DIR=$plugins "$root/usr/bin/sondrix-cli" \
        --install-wireshark-plugin) || fail "sondrix-cli --install-wireshark-plugin failed again"
    grep -qF "A global copy is installed too ($dissector)" <<<"$note" ||
        fail "the install did not name the global copy: $note"
    if command -v tshark >/dev/null; then
        # Wireshark takes WIRESHARK_PLUGIN_DIR from an ordinary user only.
        wireshark=$(mktemp -d)
        mkdir -p "$wireshark/global" "$wireshark/home/.local/lib/wireshark/plugins"
        cp "$dissector" "$wireshark/global/"
        cp "$personal" "$wireshark/home/.local/lib/wireshark/plugins/"
        chmod -R a+rX "$wireshark"
        for listing in plugins protocols; do
            (cd "$wireshark" && env -i PATH=/usr/bin:/bin HOME="$wireshark/home" \
                WIRESHARK_PLUGIN_DIR="$wireshark/global" "${run_as_user[@]}" \
                tshark -G "$listing" >"$scratch/$listing.txt" 2>"$scratch/$listing.err") ||
                fail "tshark -G $listing failed: $(cat "$scratch/$listing.err")"
            ! grep -q "Lua: Error" "$scratch/$listing.err" ||
                fail "tshark with two copies of the dissector: $(cat "$scratch/$listing.err")"
        done
        rm -rf "$wireshark"
        [ "$(grep -c 'hlx.lua' "$scratch/plugins.txt")" = 2 ] || fail "tshark did not find both copies"
        [ "$(grep -c $'\thlx$' "$scratch/protocols.txt")" = 1 ] || fail "the protocol hlx is not there once"
    fi
fi
echo "$output"
if [ "$cli_expected" = 1 ]; then
    [ -f "$root/usr/share/bash-completion/completions/sondrix-cli" ] ||
        fail "no bash completion for sondrix-cli"
fi

# An ordinary user runs the installed window program headless against the
# simulated module: two records and a colour capture go to the user's data
# folder, nothing goes beside the program. As root (CI) the run takes the
# nobody account; the user needs a home and a copy of the tree it may read.
user_home=$(mktemp -d)
trap 'rm -rf "$user_home"' EXIT
chmod 755 "$user_home"
# Installed programs live in a folder their users cannot write to.
chmod a-w "$root/usr/bin"
if [ "$(id -u)" = 0 ]; then
    chown 65534:65534 "$user_home"
fi
bin_before=$(ls -A "$root/usr/bin")
script=$user_home/download.txt
cat >"$script" <<'SCRIPT'
select main 1119 5
click main 1030
wait-box Connection Succeeded!!! within 20000
tab auth
click auth 1021
wait-message Enter master mode succeeded!!
tab database
sleep 500
row database 1085 0 on
row database 1085 1 on
click database 1091
popup ok
wait-box DB Downloading is completed!! within 20000
tab main
press main 1164
wait-box Color Images are stored successfully! within 60000
SCRIPT
data=$user_home/data
if ! (cd "$user_home" && env -i PATH=/usr/bin:/bin HOME="$user_home" XDG_DATA_HOME="$data" \
    QT_QPA_PLATFORM=offscreen "${run_as_user[@]}" "$root/usr/bin/sondrix" --headless \
    --simulate --users 2 --script "$script" >"$scratch/headless.log" 2>&1); then
    cat "$scratch/headless.log" >&2
    fail "the headless run as an ordinary user failed"
fi
records=$data/sondrix/records
for file in 1.rec 2.rec fp.bmp; do
    [ -s "$records/$file" ] || { cat "$scratch/headless.log" >&2; fail "$records/$file was not written"; }
done
grep -q "message: Downloaded records and colour images are kept in $records" "$scratch/headless.log" ||
    fail "the message line did not name $records"
# Named again where it stays: in the box that ends the download.
grep -qF "DB Downloading is completed!!\r\nDownloaded records and colour images are kept in $records" \
    "$scratch/headless.log" || fail "the end of the download did not name $records"
[ "$(ls -A "$root/usr/bin")" = "$bin_before" ] || fail "files were written beside the program"
if [ -e "$user_home/fp.bmp" ] || compgen -G "$user_home/*.rec" >/dev/null; then
    fail "files were written in the working folder"
fi
echo "installed package $(basename "$deb") works from $root"
