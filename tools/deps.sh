#!/usr/bin/env bash
# Installs the Debian packages Sondrix needs to build and test, only those
# that are missing. Sourced by run.sh and test.sh; safe to run on its own.
set -euo pipefail

SONDRIX_PACKAGES=(
    cmake g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
    dpkg-dev lintian appstream
    tshark picocom
    libudev-dev umockdev libumockdev-dev
    python3-dev python3-pybind11 python3-pytest python3-numpy
)

# The Windows cross build, its Wine runs (the window's on a virtual X
# display) and its installer: installed by tools/test.sh, or on their own
# with tools/deps.sh windows.
SONDRIX_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest wine wine64
    xvfb xauth nsis
)

sondrix_install_missing() {
    local missing=()
    local pkg
    for pkg in "${SONDRIX_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    if [ "${1:-}" = windows ]; then
        shift
        set -- "${SONDRIX_WINDOWS_PACKAGES[@]}" "$@"
    fi
    sondrix_install_missing "$@"
fi
