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
