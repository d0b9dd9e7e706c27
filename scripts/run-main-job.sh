#!/usr/bin/env bash
# Copies (or moves) Linux files and folders into a Linux folder with the
# Windows copier running under Wine, the way a drop hands over a job:
#
#   scripts/run-main-job.sh [--move] TARGET_DIR SOURCE...
#
# Installs what is missing, builds the i686 programs, puts tesrun.exe into
# the Wine prefix's C:\windows as the installer would, writes the job with
# tessubmit (which starts the copier from there) and waits until the copier
# ends.  With DISPLAY set its window shows there; otherwise it runs on a
# private virtual display (Xvfb).  The prefix is build/i686/wineprefix.
# TES_BUILD_DIR chooses another build folder.
# Exit code 0 when the copier ended and its job file is gone (the job
# finished or was cancelled in the window).
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
build=$(realpath -m "${TES_BUILD_DIR:-$root/build/i686}")

bash "$root/scripts/bootstrap.sh"
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake >/dev/null
ninja -C "$build" tesrun tessubmit >/dev/null

# Prefix, wineserver, and a virtual display when there is no real one.
"$root/tests/wine/run.sh" --prepare "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
virtual=
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:$(cut -d' ' -f1 "$build/xvfb.display")
    virtual=$DISPLAY
fi

# Installed the way tessetup installs it: in the Windows folder.
cp "$build/bin/tesrun.exe" "$WINEPREFIX/drive_c/windows/tesrun.exe"

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

number=$(wine "$build/bin/tessubmit.exe" "${move[@]}" "$target_w" \
    "${sources_w[@]}" </dev/null 2>/dev/null | tr -d '\r')
[[ "$number" =~ ^[0-9]{3}$ ]] || { echo "tessubmit failed" >&2; exit 1; }
echo "job $number: $mode_text of $# item(s) into $target_w"

# The copier of this prefix that runs this job.
copier_pids() {
    local pid
    for pid in $(pgrep -f "tesrun\.exe ${number}( |$)" || true); do
        tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null |
            grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}
# WinExec has returned, but the new process may take a moment to show its
# command line: wait to see it (or its job already gone), then for its end.
temp_w=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
job_file=$(wine winepath -u "$temp_w\\tesqueue.$number" 2>/dev/null | tr -d '\r')
for _ in $(seq 100); do
    [ -n "$(copier_pids)" ] && break
    [ -e "$job_file" ] || break
    sleep 0.1
done
waited=0
while [ -n "$(copier_pids)" ]; do
    sleep 0.2
    waited=$((waited + 1))
    # On the virtual display nobody sees a dialog that waits for an answer.
    if [ -n "$virtual" ] && [ $((waited % 300)) -eq 0 ]; then
        echo "job $number: still running after $((waited / 5)) s; its window is" \
             "on the virtual display $virtual (see it with:" \
             "import -display $virtual -window root shot.png)" >&2
    fi
done

if [ -e "$job_file" ]; then
    echo "job $number: the copier ended and left its job file ($job_file)" >&2
    exit 1
fi
echo "job $number: done"
