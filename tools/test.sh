#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and
# runs the whole test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
sondrix_install_missing
cmake --preset default -DSONDRIX_WERROR=ON >/dev/null
cmake --build --preset default
ctest --preset default -j2 --timeout 300

# Windows: sondrix-cli.exe and the unit tests of the lower layers, cross-built
# with MinGW-w64 and run under Wine, the CLI end to end against the hlxsim
# just built (Wine's COM1 on its pseudo-terminal).
cmake --preset windows -DSONDRIX_WERROR=ON -DSONDRIX_HOST_BUILD_DIR="$PWD/build/default" >/dev/null
cmake --build --preset windows --target sondrix-cli test_platform test_link test_files test_imaging
ctest --preset windows -j2 --timeout 600
