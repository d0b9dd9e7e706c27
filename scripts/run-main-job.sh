#!/usr/bin/env bash
# Copies (or moves) Linux files and folders into a Linux folder with the
# Windows copier running under Wine, handed over the way a right-drop in
# the shell hands it over:
#
#   scripts/run-main-job.sh [--move] TARGET_DIR SOURCE...
#
# Installs what is missing, builds the programs, installs the product into
# the Wine prefix with the real installer ("tessetup.exe /install": both
# files into C:\windows, the registry entries), and drops the sources onto
# the target through the registered drop handler (tesdrop.exe, which loads
# it as the shell does, through its class: the shell's data object,
# Initialize, the drop menu, "&Tessary Copy Here" or "&Tessary Move Here");
# the handler writes the job and starts the installed copier, and the
# script waits until every copier it started has ended.  With DISPLAY set
# the copier's window shows there; otherwise it runs on a private virtual
# display (Xvfb).  The i686 build is used where this machine runs 32-bit
# programs, else the x86_64 one; the prefix is build/<arch>/wineprefix.
# TES_BUILD_DIR chooses another build folder.
# Exit code 0 when the copiers ended and left no job file (the jobs
# finished or were cancelled in the window).
set -euo pipefail

usage() { echo "usage: $0 [--move] TARGET_DIR SOURCE..." >&2; exit 2; }

move=()
mode_text=copy
if [ "${1:-}" = --move ]; then move=(/move); mode_text=move; shift; fi
[ $# -ge 2 ] || usage
target=$1; shift
for source in "$@"; do
    [ -e "$source" ] || { echo "no such source: $source" >&2; exit 2; }
done

root=$(cd "$(dirname "$0")/.." && pwd)
PATH=$root/tests/wine/bin:$PATH
bash "$root/scripts/bootstrap.sh"
arch=x86_64
wine-runs-32bit && arch=i686
build=$(realpath -m "${TES_BUILD_DIR:-$root/build/$arch}")

# The toolchain is chosen once, when the build folder is made; CMake warns
# about a toolchain given again to a configured folder.
toolchain=()
[ -f "$build/CMakeCache.txt" ] ||
    toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$arch-w64-mingw32.cmake)
cmake -S "$root" -B "$build" -G Ninja "${toolchain[@]}" >/dev/null
ninja -C "$build" tessetup tesdrop >/dev/null

# Prefix, wineserver, and a virtual display when there is no real one.
"$root/tests/wine/run.sh" --prepare "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
virtual=
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:$(cut -d' ' -f1 "$build/xvfb.display")
    virtual=$DISPLAY
fi

wine "$build/bin/tessetup.exe" /install </dev/null ||
    { echo "tessetup.exe /install failed" >&2; exit 1; }

mkdir -p "$target"
windows_path() {
    local path
    path=$(wine winepath -w "$(realpath "$1")" 2>/dev/null | tr -d '\r')
    [ -n "$path" ] || { echo "winepath failed for $1" >&2; exit 1; }
    echo "$path"
}
target_w=$(windows_path "$target")
sources_w=()
for source in "$@"; do sources_w+=("$(windows_path "$source")"); done

temp_w=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
temp=$(wine winepath -u "$temp_w" 2>/dev/null | tr -d '\r')
jobs_before=$(ls "$temp" 2>/dev/null | grep -E '^tesqueue\.[0-9]{3}$' || true)

# The copiers of this prefix.
copier_pids() {
    local pid
    for pid in $(pgrep -f 'tesrun\.exe [0-9]' || true); do
        # A copier may end between the listing and this look.
        { tr '\0' '\n' < "/proc/$pid/environ"; } 2>/dev/null |
            grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}
[ -z "$(copier_pids)" ] || { echo "a copier already runs in $WINEPREFIX" >&2; exit 1; }

wine "$build/bin/tesdrop.exe" "${move[@]}" "$target_w" \
    "${sources_w[@]}" </dev/null || { echo "the drop failed" >&2; exit 1; }
new_jobs() {
    comm -13 <(echo "$jobs_before") \
        <(ls "$temp" 2>/dev/null | grep -E '^tesqueue\.[0-9]{3}$' || true) |
        grep . || true
}
echo "$mode_text of $# item(s) into $target_w: job(s) $(new_jobs | tr '\n' ' ')"

# The handler has started the copier (WinExec returned), but the new process
# may take a moment to show its command line: wait to see it (or every new
# job already gone), then for its end.
for _ in $(seq 100); do
    [ -n "$(copier_pids)" ] && break
    [ -z "$(new_jobs)" ] && break
    sleep 0.1
done
waited=0
while [ -n "$(copier_pids)" ]; do
    sleep 0.2
    waited=$((waited + 1))
    # On the virtual display nobody sees a dialog that waits for an answer.
    if [ -n "$virtual" ] && [ $((waited % 300)) -eq 0 ]; then
        echo "still running after $((waited / 5)) s; the window is on the" \
             "virtual display $virtual (see it with:" \
             "import -display $virtual -window root shot.png)" >&2
    fi
done

left=$(new_jobs)
if [ -n "$left" ]; then
    echo "the copier ended and left its job file(s): $(echo $left)" >&2
    exit 1
fi
echo "done"
