#!/usr/bin/env bash
# Installs what building and testing need on Debian 12: the mingw-w64 cross
# compilers, Wine (32- and 64-bit), Xvfb, CMake, Ninja, GoogleTest, clang
# with libFuzzer, ImageMagick, x11-utils, e2fsprogs (chattr) and procps
# (pgrep), and Wine's own fonts (without them window frames and dialog
# fonts fall back to substitutes); for the benchmarks gnuplot (the chart),
# strace (bytes written by a relaunch) and time (peak memory).
# Idempotent: when everything is present it does not touch apt at all.
# Needs root (or sudo).
set -euo pipefail

packages=(mingw-w64 wine wine32:i386 wine64 xvfb cmake ninja-build googletest
          clang libclang-rt-14-dev imagemagick x11-utils e2fsprogs procps
          fonts-wine gnuplot-nox strace time)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "bootstrap: all packages present"
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
        echo "bootstrap: missing ${missing[*]}; run as root to install" >&2
        exit 1
    }
    as_root=(sudo)
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    >/dev/null
for package in "${packages[@]}"; do
    installed "$package" || { echo "bootstrap: $package did not install" >&2; exit 1; }
done
echo "bootstrap: done"
