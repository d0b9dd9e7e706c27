#!/usr/bin/env bash
# Runs one Windows test program under Wine; ctest calls it for every test:
#
#   tests/wine/run.sh path/to/bin/test_x.exe [arguments...]
#   tests/wine/run.sh --prepare BUILD_DIR   # set up prefix, display, server
#   tests/wine/run.sh --stop BUILD_DIR      # end that build's wineserver and Xvfb
#
# The build folder is the parent of the program's folder (<build>/bin/x.exe).
# Everything lives inside it: the Wine prefix <build>/wineprefix, made once
# (32-bit, as 32-bit Windows, for an i686 build; 64-bit for an x86_64
# build); the number of a private Xvfb display in <build>/xvfb.display;
# lock files; the GoogleTest report of each test program in
# <build>/results/<program>.xml.  A test program whose every case skipped
# ends with 77, which ctest counts as skipped (scripts/gtest-cases.sh).
# Two ctest jobs may start at once: every shared step runs under flock, and
# no process started here keeps a lock's descriptor (7 or 8), or the lock
# would live as long as that Xvfb or wineserver.
#
# Environment knobs:
#   TES_BUILD_DIR   build folder (default: derived from the program's path)
#   TES_WINEPREFIX  Wine prefix (default: <build>/wineprefix); WINEPREFIX
#                   from the environment is ignored
#   DISPLAY         X display to use; when unset a private Xvfb is started for
#                   the build folder and reused while it lives
#   TES_XVFB=1      start/reuse the private Xvfb even when DISPLAY is set
#   TES_WINE        the wine command (default: wine)
#   TES_WINEDEBUG   WINEDEBUG for the program (default: -all)
set -u

die() { echo "run.sh: $*" >&2; exit 125; }

# Our own `wine` first: it picks a loader that this machine can execute.
PATH=$(cd "$(dirname "$0")" && pwd)/bin:$PATH
WINE_CMD=${TES_WINE:-wine}

# --- which build folder ---------------------------------------------------
mode=run
case "${1:-}" in
--prepare) mode=prepare; shift; TES_BUILD_DIR=${1:?build folder}; shift ;;
--stop)    mode=stop;    shift; TES_BUILD_DIR=${1:?build folder}; shift ;;
"")        die "usage: run.sh PROGRAM.exe [arguments...]" ;;
esac

# The machine field of a Windows program's PE header: 014c for i686,
# 8664 for x86_64.
pe_machine() {
    local pe
    pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$pe" ] && od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' '
}

if [ "$mode" = run ]; then
    exe=$1; shift
    [ -f "$exe" ] || die "no such program: $exe"
    exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
    build=${TES_BUILD_DIR:-$(dirname "$(dirname "$exe")")}
    machine=$(pe_machine "$exe")
else
    build=$TES_BUILD_DIR
    machine=$(pe_machine "$build/bin/tesrun.exe")
fi
[ -d "$build" ] || die "no such build folder: $build"
build=$(cd "$build" && pwd)
# A 32-bit program needs a kernel that runs 32-bit Linux programs and
# Wine's 32-bit loader.
if [ "$mode" != stop ] && [ "$machine" = 014c ] && ! why=$("$(dirname "$0")/bin/wine-runs-32bit" --why); then
    die "$build holds 32-bit programs, and $why: use the x86_64 build (build/x86_64) here"
fi
# The i686 build's prefix is a 32-bit one, as 32-bit Windows: its
# installer refuses to install on 64-bit Windows.
prefix_arch=win64
[ "$machine" = 014c ] && prefix_arch=win32

# Never the user's own prefix: a half-made test prefix is deleted and made
# again, so an inherited WINEPREFIX is ignored.
export WINEPREFIX=${TES_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

display_file=$build/xvfb.display

# Is the Xvfb recorded for this build folder alive?  Prints its display.
xvfb_alive() {
    [ -s "$display_file" ] || return 1
    local number pid
    read -r number pid < "$display_file" || return 1
    [ -n "${number:-}" ] && [ -n "${pid:-}" ] || return 1
    kill -0 "$pid" 2>/dev/null || return 1
    [ -S "/tmp/.X11-unix/X$number" ] || return 1
    echo ":$number"
}

# Starts a private Xvfb (it picks a free display itself) unless the one
# recorded for this build folder still runs.  Sets DISPLAY.
ensure_xvfb() {
    exec 8>"$build/.tes-xvfb.lock"
    flock 8
    local display
    if display=$(xvfb_alive); then
        export DISPLAY=$display
        exec 8>&-
        return
    fi
    local numbers=$build/.xvfb.number
    rm -f "$numbers"
    # Detached and silent: it must outlive this script and must not hold
    # ctest's output pipes open.
    setsid Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp \
        9>"$numbers" </dev/null >/dev/null 2>&1 7>&- 8>&- &
    local pid=$!
    local waited=0
    while ! [ -s "$numbers" ]; do
        kill -0 "$pid" 2>/dev/null || die "Xvfb did not start"
        sleep 0.1
        waited=$((waited + 1))
        [ $waited -lt 600 ] || die "Xvfb gave no display within 60 s"
    done
    local number
    number=$(tr -dc 0-9 < "$numbers")
    echo "$number $pid" > "$display_file"
    export DISPLAY=:$number
    exec 8>&-
}

# Makes the prefix once; a half-made one (no marker) is made again.
ensure_prefix() {
    exec 7>"$build/.tes-prefix.lock"
    flock 7
    # The marker names the prefix's kind; an empty one is from before the
    # i686 build had 32-bit prefixes, when every prefix was 64-bit.  A
    # prefix of the other kind is made again.
    local made=none
    [ -f "$WINEPREFIX/.tes-ready" ] && made=$(cat "$WINEPREFIX/.tes-ready")
    if [ "${made:-win64}" != "$prefix_arch" ]; then
        if [ -e "$WINEPREFIX" ] && [ "${WINEPREFIX#"$build"/}" = "$WINEPREFIX" ]; then
            die "$WINEPREFIX is no test prefix of this build: not remaking it"
        fi
        # A server left from a half-made prefix would keep the old files.
        wineserver -k </dev/null >/dev/null 2>&1 7>&- 8>&-
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        WINEARCH=$prefix_arch "$WINE_CMD" wineboot -i </dev/null >/dev/null 2>&1 7>&- 8>&- ||
            die "wineboot failed for $WINEPREFIX"
        wineserver -w 7>&- 8>&-
        # No window manager: without this Wine waits 2 s for every window
        # that is hidden or destroyed.
        "$WINE_CMD" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed \
            /d N /f </dev/null >/dev/null 2>&1 7>&- 8>&- || die "reg add Managed failed"
        # A crashing program ends at once instead of waiting in the debugger.
        # A 64-bit prefix has two registry views, a 32-bit one only one.
        local view views=(/reg:32 /reg:64)
        [ "$prefix_arch" = win32 ] && views=("")
        for view in "${views[@]}"; do
            "$WINE_CMD" reg add \
                'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
                /v Auto /d 1 /f $view </dev/null >/dev/null 2>&1 7>&- 8>&- &&
            "$WINE_CMD" reg add \
                'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
                /v Debugger /d false /f $view </dev/null >/dev/null 2>&1 7>&- 8>&- ||
                die "reg add AeDebug failed"
        done
        wineserver -w 7>&- 8>&-
        echo "$prefix_arch" > "$WINEPREFIX/.tes-ready"
    fi
    exec 7>&-
}

# Keeps one wineserver alive for the prefix, and starts Wine's service
# processes with a throwaway program whose output goes nowhere: they live as
# long as the server and would otherwise hold the first test's pipes open.
ensure_server() {
    exec 7>"$build/.tes-server.lock"
    flock 7
    # A second server for the same prefix notices the first and leaves.
    setsid wineserver -p </dev/null >/dev/null 2>&1 7>&- 8>&-
    "$WINE_CMD" cmd /c exit 0 </dev/null >/dev/null 2>&1 7>&- 8>&-
    exec 7>&-
}

stop_all() {
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
    fi
    local number pid
    if [ -s "$display_file" ] && read -r number pid < "$display_file"; then
        kill "$pid" 2>/dev/null || true
        rm -f "$display_file"
    fi
}

if [ "$mode" = stop ]; then
    stop_all
    exit 0
fi

if [ -z "${DISPLAY:-}" ] || [ "${TES_XVFB:-0}" = 1 ]; then
    ensure_xvfb
fi
ensure_prefix
ensure_server

[ "$mode" = prepare ] && exit 0

export WINEDEBUG=${TES_WINEDEBUG:--all}
# The program's output goes through a file, streamed by tail while it runs.
# Wine's desktop process (explorer.exe), started by the first window of a
# run, inherits the output of the program that opened that window and
# lives on while other tests' windows come and go: had it ctest's pipe, the
# test would seem to last until every other test had ended.
mkdir -p "$build/logs"
log=$(mktemp "$build/logs/run.XXXXXX")
# A test program writes its GoogleTest report (Wine's Z: is the Unix root).
report=
case "$(basename "$exe")" in
test_*.exe)
    mkdir -p "$build/results"
    report=$build/results/$(basename "$exe" .exe).xml
    rm -f "$report"
    set -- "$@" "--gtest_output=xml:Z:${report//\//\\}" ;;
esac
"$WINE_CMD" "$exe" "$@" >"$log" 2>&1 </dev/null 7>&- 8>&- &
program=$!
tail -n +1 -f --pid="$program" "$log"
wait "$program"
status=$?
rm -f "$log"
[ -n "$report" ] || exit $status
exec "$(dirname "$0")/../../scripts/gtest-cases.sh" verdict "$report" $status
