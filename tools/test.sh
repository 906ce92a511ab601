#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and
# runs the whole test suite through CTest: the Linux build, then the Windows
# cross build with its tests under Wine (against the Linux build's hlxsim,
# the window on a virtual X display) and its ZIP and installer.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
sondrix_install_missing "${SONDRIX_WINDOWS_PACKAGES[@]}"
cmake --preset default -DSONDRIX_WERROR=ON >/dev/null
cmake --build --preset default
ctest --preset default -j2 --timeout 300

cmake --preset windows -DSONDRIX_WERROR=ON -DSONDRIX_HOST_BUILD_DIR="$PWD/build/default" >/dev/null
cmake --build --preset windows
ctest --preset windows -j2 --timeout 600
cpack --preset windows >/dev/null
download=build/windows/sondrix-$(sed -n 's/^project(Sondrix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)-win64
contents=$(cmake -E tar tf "$download.zip")
for file in sondrix.exe sondrix-cli.exe README.txt LICENSE.txt; do
    grep -q "/$file\$" <<<"$contents" || { echo "$download.zip lacks $file" >&2; exit 1; }
done
[ -s "$download.exe" ] || { echo "no installer $download.exe" >&2; exit 1; }
echo "Windows downloads: $download.zip, $download.exe"
