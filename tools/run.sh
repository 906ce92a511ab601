#!/usr/bin/env bash
# Installs what is missing, builds Sondrix and starts it with the built-in
# simulated module. Extra arguments go to sondrix (see sondrix --help).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
sondrix_install_missing
cmake --preset default >/dev/null
cmake --build --preset default --target sondrix hlxsim
exec build/default/src/sondrix --simulate "$@"
