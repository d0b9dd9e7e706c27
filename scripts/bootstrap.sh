#!/usr/bin/env bash
# Installs what building and testing need on Debian 12: the mingw-w64 cross
# compilers, Wine (64-bit), Xvfb, CMake, Ninja, GoogleTest, clang with
# libFuzzer, ImageMagick, x11-utils, e2fsprogs (chattr), procps (pgrep),
# fusefat and dosfstools (FAT images mounted without kernel support),
# locales (hi_IN.UTF-8, generated here, for a code page without an ANSI
# form) and Wine's own fonts (without them window frames and dialog fonts
# fall back to substitutes); for the benchmarks gnuplot (the chart), strace
# (bytes written by a relaunch) and time (peak memory).
#
# Wine's 32-bit loader (wine32:i386) is wanted only where the kernel runs
# 32-bit programs, and even there it is optional: on some days its i386
# libraries lag behind the amd64 ones and it cannot be installed at all.
# Its absence is said in one line; the i686 build's Windows tests are then
# reported as not runnable, and everything else goes on.
#
# apt-get update may fail for one index for a while ("File has unexpected
# size ... Mirror sync in progress?") although every other list was
# fetched: it is retried, and judged by whether the packages then install,
# not by its exit code.
#
# Idempotent: when everything is present it does not touch apt at all;
# where only wine32 is missing, each run tries for it once more (a few
# seconds: one update, one install).
# Needs root (or sudo).  Exit code 0 when every needed package is present.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
probes=$here/../tests/wine/bin
logs=$(mktemp -d "${TMPDIR:-/tmp}/tes-bootstrap.XXXXXX") || exit 1
trap 'rm -rf "$logs"' EXIT
updated=

packages=(mingw-w64 wine wine64 xvfb cmake ninja-build googletest
          clang libclang-rt-14-dev imagemagick x11-utils e2fsprogs procps
          fonts-wine gnuplot-nox strace time fusefat dosfstools locales)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
missing_of() {   # prints the packages of "$@" that are not installed
    local package
    for package in "$@"; do
        installed "$package" || echo "$package"
    done
}

as_root=()
need_root() {
    [ "$(id -u)" -eq 0 ] && return 0
    command -v sudo >/dev/null || {
        echo "bootstrap: missing $*; run as root to install" >&2
        return 1
    }
    as_root=(sudo)
}
export DEBIAN_FRONTEND=noninteractive

apt_update() {   # one attempt; its exit code says little, so it is only shown
    updated=yes
    "${as_root[@]}" apt-get update -qq >"$logs/update.log" 2>&1 ||
        echo "bootstrap: apt-get update ended with $? ($(grep -m1 "^E:" "$logs/update.log" || echo "no message"))"
}
apt_install() {   # PACKAGE...: quiet; the last error line on failure
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "$@" \
        >"$logs/install.log" 2>&1 || {
        echo "$(grep '^E:' "$logs/install.log" | tail -n 1)"
        return 1
    }
}

# --- the packages every build needs -------------------------------------
mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
    need_root "${missing[*]}" || exit 1
    echo "bootstrap: installing ${missing[*]}"
    for attempt in 1 2 3; do
        apt_update
        apt_install "${missing[@]}" >/dev/null
        mapfile -t missing < <(missing_of "${missing[@]}")
        [ ${#missing[@]} -eq 0 ] && break
        [ $attempt -lt 3 ] && sleep $((attempt * 10))
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "bootstrap: could not install ${missing[*]}:" \
             "$(grep '^E:' "$logs/install.log" | tail -n 1)" >&2
        exit 1
    fi
fi

# --- Wine's 32-bit loader, where it could be used -----------------------
if ! "$probes/kernel-runs-32bit"; then
    echo "bootstrap: this kernel runs no 32-bit programs: no wine32, the i686 build's Windows tests will not run"
elif ! installed wine32:i386; then
    if need_root wine32:i386; then
        added=
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            "${as_root[@]}" dpkg --add-architecture i386 && added=yes
        fi
        # Fresh lists, unless apt has just fetched them for the above.
        if [ -n "$added" ] || [ -z "$updated" ]; then apt_update >/dev/null; fi
        if ! reason=$(apt_install wine32:i386); then
            echo "bootstrap: wine32:i386 could not be installed (${reason:-apt gave no reason}): the i686 build's Windows tests will not run"
        fi
    fi
fi

# --- a locale whose code page has no ANSI form --------------------------
if ! locale -a 2>/dev/null | grep -qix 'hi_IN\.utf-\?8'; then
    need_root "the locale hi_IN.UTF-8" || exit 1
    "${as_root[@]}" localedef -i hi_IN -f UTF-8 hi_IN.UTF-8 ||
        { echo "bootstrap: localedef hi_IN.UTF-8 failed" >&2; exit 1; }
fi
echo "bootstrap: done"
