#!/usr/bin/env bash
# The test command: installs what is missing, builds every deliverable for
# i686 (with the Windows tests), for x86_64 (deliverables only) and the
# native test build, then runs the native tests (sanitizers, fuzzer) and
# the Windows tests under Wine.  Ends with ctest's own summary lines;
# exits non-zero when any step fails.
#
# Knobs: TES_JOBS (ctest parallelism of the native tests, default 2);
# TES_WINE_JOBS (of the Windows tests, default 1: on a 2-core machine two
# Wine tests at once have shown races in the tests, listed under "Known
# races" in docs/DEVELOPING.md); TES_FUZZ_SECONDS (default 30).  The Windows tests always run on a private Xvfb display.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TES_JOBS:-2}
wine_jobs=${TES_WINE_JOBS:-1}
logs=$root/build/logs
mkdir -p "$logs"
started=$(date +%s)

names=()
results=()
note() { names+=("$1"); results+=("$2"); }

step() {   # step NAME LOGFILE COMMAND...: runs quietly, shows the log on failure
    local name=$1 log=$2; shift 2
    echo "== $name"
    if "$@" >"$log" 2>&1; then
        note "$name" ok
    else
        tail -n 60 "$log"
        echo "== $name FAILED (log: $log)"
        note "$name" FAILED
        return 1
    fi
}

configure_and_build() {   # DIR [TOOLCHAIN] then cmake arguments
    local dir=$1; shift
    local toolchain=()
    case "${1:-}" in
    cmake/toolchain-*)
        # Chosen once, when the folder is made: CMake warns about a
        # toolchain given again to a configured folder.
        [ -f "$root/build/$dir/CMakeCache.txt" ] ||
            toolchain=(-DCMAKE_TOOLCHAIN_FILE="$1")
        shift ;;
    esac
    cmake -S "$root" -B "$root/build/$dir" -G Ninja "${toolchain[@]}" "$@" &&
        ninja -C "$root/build/$dir"
}

step "bootstrap" "$logs/bootstrap.log" bash scripts/bootstrap.sh || {
    echo "bootstrap failed: nothing can be built"; exit 1; }

step "build i686" "$logs/build-i686.log" configure_and_build i686 \
    cmake/toolchain-i686-w64-mingw32.cmake -DTES_BUILD_TESTS=ON
i686_built=$?
step "build x86_64" "$logs/build-x86_64.log" configure_and_build x86_64 \
    cmake/toolchain-x86_64-w64-mingw32.cmake -DTES_BUILD_TESTS=ON
x86_64_built=$?
step "build native" "$logs/build-native.log" configure_and_build native \
    -DTES_FUZZ_SECONDS="${TES_FUZZ_SECONDS:-30}"
native_built=$?

# ctest's output streams through; its summary is kept for the end.
run_ctest() {   # native|wine-ARCH DIR JOBS
    local name="$1 tests" dir=$2 log=$logs/ctest-$1.log
    echo "== $name"
    ctest --test-dir "$root/build/$dir" -j "$3" --output-on-failure \
        2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    if [ "$status" -eq 0 ] && grep -q 'tests passed' "$log"; then
        note "$name" ok
    else
        note "$name" FAILED
    fi
}

if [ "$native_built" -eq 0 ]; then
    run_ctest native native "$jobs"
else
    note "native tests" "not run"
fi
# The Windows tests run for both architectures.  Some kernels run no 32-bit
# programs at all; there Wine runs only 64-bit ones, and the i686 tests are
# built but can't be run (said in the summary, not hidden).
export TES_XVFB=1
run_wine() {   # ARCH BUILT
    if [ "$2" -ne 0 ]; then
        note "wine $1" "not run (build failed)"
    elif [ "$1" = i686 ] && ! tests/wine/bin/wine-runs-32bit; then
        note "wine $1" "not runnable: this kernel runs no 32-bit programs"

    else
        run_ctest "wine-$1" "$1" "$wine_jobs"
        # This build's Xvfb and wineserver are not needed any more.
        tests/wine/run.sh --stop "$root/build/$1" >/dev/null 2>&1
    fi
}
run_wine i686 "$i686_built"
run_wine x86_64 "$x86_64_built"

echo
echo "==================== summary ($(( $(date +%s) - started )) s) ===================="
failed=0
for i in "${!names[@]}"; do
    printf '  %-18s %s\n' "${names[$i]}" "${results[$i]}"
    case "${results[$i]}" in
    ok|"not runnable"*) ;;
    *) failed=1 ;;
    esac
done
# ctest's own summary lines, native first and the Wine run last.
for name in native wine-i686 wine-x86_64; do
    log=$logs/ctest-$name.log
    [ -f "$log" ] || continue
    echo "--- $name tests:"
    sed -n '/tests passed\|tests failed out of/,$p' "$log"
done
exit $failed
