#!/usr/bin/env bash
# library_packages_test.sh BUILD_DIR SOURCE_DIR
# The packages python3-sondrix and libsondrix-dev that install.Debian... made:
# unpacked into a scratch root with dpkg -x, the Python module imports and
# drives the simulated module as an ordinary user with Debian's python3, and
# the examples build against the development files with CMake
# (find_package(Sondrix)) and with pkg-config, and run.
set -euo pipefail
build=$1
source=$2
scratch=$build/install-test/library
root=$scratch/root
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$scratch"
mkdir -p "$root"
for package in python3-sondrix libsondrix-dev sondrix; do
    debs=("$build"/install-test/package/${package}_*.deb)
    [ -f "${debs[0]}" ] || fail "no $package package in $build/install-test/package"
    dpkg -x "${debs[0]}" "$root"
done
# apt takes the three together: what they depend on is in Debian or among them.
(cd "$build/install-test/package" &&
    apt-get -s -q install ./sondrix_*.deb ./python3-sondrix_*.deb ./libsondrix-dev_*.deb) \
    >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log" >&2; fail "apt cannot install the packages"; }
deb_python=("$build"/install-test/package/python3-sondrix_*.deb)
dpkg-deb -f "${deb_python[0]}" Depends | grep -q 'python3 (>= 3' || fail "python3-sondrix does not depend on python3"

# As an ordinary user (nobody when the tests run as root), in a clean
# environment: Debian's python3 with the package's folder on its path.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
chmod 755 "$home" "$scratch"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown 65534:65534 "$home"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
# The package's folder is one Debian's python3 searches once installed.
grep -qx /usr/lib/python3/dist-packages <<<"$(/usr/bin/python3 -c 'import sys; print("\n".join(sys.path))')" ||
    fail "Debian's python3 does not search /usr/lib/python3/dist-packages"
packages=$(echo "$root"/usr/lib/python3/dist-packages)
[ -f "$packages/sondrix/__init__.pyi" ] && [ -f "$packages/sondrix/py.typed" ] ||
    fail "the type stubs are not in the package"
# A copy in the user's own folder: the build tree may sit below a folder
# that only its owner can enter (a fresh clone in mktemp -d).
cp -r "$packages" "$home/dist-packages"
[ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$home/dist-packages"
output=$(cd "$home" && env -i PATH=/usr/bin:/bin HOME="$home" PYTHONPATH="$home/dist-packages" \
    "${as_user[@]}" /usr/bin/python3 -c \
    "import sondrix; print(sondrix.__file__); print(sondrix.Simulator().module().info())") ||
    fail "the Python module does not run as an ordinary user"
echo "$output"
grep -q "^$home/dist-packages/sondrix/__init__.py\$" <<<"$output" ||
    fail "sondrix was not imported from the package"
grep -q "^ModuleInfo(model='HLX-M18', firmware='3.01'" <<<"$output" || fail "no module info"

# The README's C++ example is examples/simulated.cpp.
sed -n '/^### C++/,/^```$/p' "$source/README.md" | sed '1,/^```cpp$/d; $d' >"$scratch/readme.cpp"
diff -u "$source/examples/simulated.cpp" "$scratch/readme.cpp" ||
    fail "the README's C++ example is not examples/simulated.cpp"

# A separate project finds the package by CMake, as an installed one.
cp -r "$source/examples" "$scratch/examples"
cmake -S "$scratch/examples" -B "$scratch/examples/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$root/usr" >"$scratch/cmake.log" 2>&1 || { cat "$scratch/cmake.log" >&2; fail "cmake"; }
cmake --build "$scratch/examples/build" -j2 >>"$scratch/cmake.log" 2>&1 ||
    { cat "$scratch/cmake.log" >&2; fail "the examples do not build against the package"; }
mkdir -p "$scratch/run"
(cd "$scratch/run" && "$scratch/examples/build/simulated") | grep -q '^HLX-M18, firmware 3.01, at 115200 bps$' ||
    fail "the simulated example printed no module"
[ "$(head -c2 "$scratch/run/finger.bmp")" = BM ] || fail "the simulated example wrote no BMP"

# capture_bmp against the packaged hlxsim, on its pseudo-terminal.
"$root/usr/bin/hlxsim" --baud 57600 >"$scratch/hlxsim.out" 2>/dev/null &
hlxsim=$!
for _ in $(seq 50); do
    [ -s "$scratch/hlxsim.out" ] && break
    sleep 0.1
done
pty=$(head -n1 "$scratch/hlxsim.out")
"$scratch/examples/build/capture_bmp" "$pty" "$scratch/run/capture.bmp" >"$scratch/capture.log" 2>&1 ||
    { kill "$hlxsim"; cat "$scratch/capture.log" >&2; fail "capture_bmp failed"; }
kill "$hlxsim"
grep -q "at 57600 bps on $pty" "$scratch/capture.log" || fail "capture_bmp did not find the rate"
cmp -s "$scratch/run/capture.bmp" "$scratch/run/finger.bmp" || fail "the two examples captured different images"

# And by pkg-config, with the prefix taken from where the file lies.
pc=$(echo "$root"/usr/lib/*/pkgconfig/sondrix.pc)
flags=$(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --cflags --libs sondrix)
grep -q -- "-I$root/usr/lib/[^ ]*/../../../include/sondrix\|-I$root/usr/include/sondrix" <<<"$flags" ||
    fail "sondrix.pc does not point into the package: $flags"
# shellcheck disable=SC2086
g++ -std=c++20 -O0 -o "$scratch/simulated-pc" "$source/examples/simulated.cpp" $flags ||
    fail "examples/simulated.cpp does not build with pkg-config's flags"
(cd "$scratch/run" && "$scratch/simulated-pc") | grep -q '^HLX-M18' || fail "the pkg-config build does not run"
echo "python3-sondrix and libsondrix-dev work from $root"
