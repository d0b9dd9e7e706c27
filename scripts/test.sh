#!/usr/bin/env bash
# The test command: installs what is missing, builds every deliverable for
# i686 and x86_64 (each with its Windows tests) and the native test build,
# then runs the native tests (sanitizers, fuzzer), each build's inspection
# of its deliverables and the Windows tests under Wine.  Ends with a
# summary: each step, the test cases of each build (passed, skipped,
# failed, and every skipped or failed case with its reason) and ctest's own
# summary lines.  Exits non-zero when any step fails; a Wine run that this
# machine cannot run (the i686 one without wine32) is listed as not run,
# with the reason, and fails nothing.
#
# Knobs: TES_JOBS (ctest parallelism of the native tests, default 2);
# TES_WINE_JOBS (of the Windows tests, default 2: on 2 cores the x86_64
# Wine tests take about 75 s two at a time against 117 s one at a time,
# and three at a time gain little more); TES_FUZZ_SECONDS (default 30).
# The Windows tests always run on a private Xvfb display.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${TES_JOBS:-2}
wine_jobs=${TES_WINE_JOBS:-2}
logs=$root/build/logs
mkdir -p "$logs"
rm -f "$logs"/ctest-*.log     # only this run's in the summary
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
# Its one-line notes (wine32 missing, say) belong in the output.
grep -v '^bootstrap: done$' "$logs/bootstrap.log"

step "build i686" "$logs/build-i686.log" configure_and_build i686 \
    cmake/toolchain-i686-w64-mingw32.cmake -DTES_BUILD_TESTS=ON
i686_built=$?
step "build x86_64" "$logs/build-x86_64.log" configure_and_build x86_64 \
    cmake/toolchain-x86_64-w64-mingw32.cmake -DTES_BUILD_TESTS=ON
x86_64_built=$?
step "build native" "$logs/build-native.log" configure_and_build native \
    -DTES_FUZZ_SECONDS="${TES_FUZZ_SECONDS:-30}"
native_built=$?

# ctest's output streams through; its summary is kept for the end.  Each
# run starts with an empty folder of GoogleTest reports, read for the
# summary of cases.
run_ctest() {   # NAME DIR JOBS [ctest arguments...]
    local name=$1 dir=$2 jobs=$3 log=$logs/ctest-${1// /-}.log
    shift 3
    echo "== $name"
    rm -rf "$root/build/$dir/results"
    ctest --test-dir "$root/build/$dir" -j "$jobs" --output-on-failure "$@" \
        2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    if [ "$status" -eq 0 ] && grep -q 'tests passed' "$log"; then
        note "$name" ok
    else
        note "$name" FAILED
    fi
}

if [ "$native_built" -eq 0 ]; then
    run_ctest "native tests" native "$jobs"
else
    note "native tests" "not built"
fi
# The Windows tests run under Wine for both architectures, on a private
# display.  The i686 ones need a kernel that runs 32-bit programs and
# Wine's 32-bit loader (wine32), which often cannot be installed: there
# only the i686 build's inspection runs (it needs no Wine), and the Wine
# run is listed as not run, with the reason.
export TES_XVFB=1
run_arch() {   # ARCH BUILT
    local arch=$1 why
    if [ "$2" -ne 0 ]; then
        note "$arch tests" "not built"
    elif [ "$arch" = i686 ] && ! why=$(tests/wine/bin/wine-runs-32bit --why); then
        run_ctest "$arch inspection" "$arch" "$jobs" -LE wine
        note "$arch Wine tests" "not run: $why"
    else
        run_ctest "$arch tests" "$arch" "$wine_jobs"
        # This build's Xvfb and wineserver are not needed any more.
        tests/wine/run.sh --stop "$root/build/$arch" >/dev/null 2>&1
    fi
}
run_arch i686 "$i686_built"
run_arch x86_64 "$x86_64_built"

echo
echo "==================== summary ($(( $(date +%s) - started )) s) ===================="
failed=0
for i in "${!names[@]}"; do
    printf '  %-20s %s\n' "${names[$i]}" "${results[$i]}"
    case "${results[$i]}" in
    ok|"not run: "*) ;;
    *) failed=1 ;;
    esac
done
# The cases of each build, with every skipped or failed one and its reason,
# then ctest's own summary lines.
for dir in native i686 x86_64; do
    reports=("$root/build/$dir/results/"*.xml)
    [ -e "${reports[0]}" ] || continue
    echo "--- $dir:"
    scripts/gtest-cases.sh summary "${reports[@]}"
done
for log in "$logs"/ctest-*.log; do
    [ -f "$log" ] || continue
    echo "--- $(basename "$log" .log | sed 's/^ctest-//; s/-/ /g'):"
    sed -n '/tests passed\|tests failed out of/,$p' "$log"
done
exit $failed
