#!/usr/bin/env bash
# The copier's benchmarks, on demand (not part of the test command):
#
#   bench/run.sh
#
# Builds what it needs, makes its data once (kept between runs in
# build/bench-data, on the same disk as the targets), then measures:
#   1. throughput of tesrun.exe (started on a job file, as a drop starts it,
#      scan included), Wine's "xcopy /E /I /Y" and native "cp -r" on one
#      large file, many 4 KiB files in nested folders and a mixed tree of
#      log-normal sizes; the tools take turns (A, B, C, A, B, C, ...) and
#      every run starts after "sync", so no run pays for the write-back of
#      the one before it;
#   2. the bare chunk loop (1,000,000-byte ReadFile/WriteFile) on the file;
#   3. the speed limit's accuracy at slider positions 0, 5, 10, 15, 19;
#   4. Pause to the last byte written, Cancel to the copier's end;
#   5. the cost of a relaunch after the copier was killed halfway;
#   6. the copier's peak working set (from the throughput runs).
# Prints a table of medians with min and max and writes a chart (PNG)
# beside it into build/bench-results/<time>/.
#
# Knobs (environment):
#   TES_BENCH_BIG_MB        size of the large file in MB (1000)
#   TES_BENCH_SMALL_FILES   number of 4 KiB files (10000)
#   TES_BENCH_MIXED_FILES   files of the mixed tree (1000)
#   TES_BENCH_RUNS          runs of each tool on each set (5)
#   TES_BENCH_LIMIT_SECONDS measuring time per slider position (10)
#   TES_BENCH_ONLY          a subset of: throughput limit pause cancel resume
#   TES_BENCH_DATA          data folder (build/bench-data)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
big_mb=${TES_BENCH_BIG_MB:-1000}
small_files=${TES_BENCH_SMALL_FILES:-10000}
mixed_files=${TES_BENCH_MIXED_FILES:-1000}
runs=${TES_BENCH_RUNS:-5}
limit_seconds=${TES_BENCH_LIMIT_SECONDS:-10}
only=${TES_BENCH_ONLY:-throughput limit pause cancel resume}
data=$(realpath -m "${TES_BENCH_DATA:-$root/build/bench-data}")
results=$root/build/bench-results/$(date -u +%Y%m%d-%H%M%S)
wants() { [[ " $only " == *" $1 "* ]]; }

bash "$root/scripts/bootstrap.sh" >/dev/null

# --- build --------------------------------------------------------------
# The copier is a 32-bit program; a kernel that runs no 32-bit code (some
# virtual machines) runs its 64-bit build, with the Wine loader that works.
PATH=$root/tests/wine/bin:$PATH
build=$root/build/bench
arch=i686
"$root/tests/wine/bin/wine-runs-32bit" || arch=x86_64
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    >/dev/null
ninja -C "$build" tesrun tessubmit tesbench >/dev/null

"$root/tests/wine/run.sh" --prepare "$build" >/dev/null
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:$(cut -d' ' -f1 "$build/xvfb.display")
fi
# Installed where the installer puts it and a drop starts it from.
cp "$build/bin/tesrun.exe" "$WINEPREFIX/drive_c/windows/tesrun.exe"
bin=$build/bin

winpath() { local path=${1//\//\\}; echo "Z:$path"; }

# --- data, made once ----------------------------------------------------
mkdir -p "$data"
made() { [ -f "$1/.ready" ]; }

big_dir=$data/big-${big_mb}MB
if ! made "$big_dir"; then
    echo "making $big_mb MB file" >&2
    rm -rf "$big_dir"; mkdir -p "$big_dir/big"
    head -c $((big_mb * 1000000)) /dev/urandom > "$big_dir/big/big.bin"
    touch "$big_dir/.ready"
fi

# 4 KiB files, a hundred folders in ten, as evenly as the count allows.
small_dir=$data/small-$small_files
if ! made "$small_dir"; then
    echo "making $small_files files of 4 KiB" >&2
    rm -rf "$small_dir"
    for i in $(seq 0 99); do
        count=$(( small_files / 100 + (i < small_files % 100 ? 1 : 0) ))
        [ "$count" -gt 0 ] || continue
        folder=$small_dir/small/d$((i / 10))/d$((i % 10))
        mkdir -p "$folder"
        head -c $((count * 4096)) /dev/urandom |
            (cd "$folder" && split -b 4096 -a 5 -d --additional-suffix=.bin - f)
    done
    touch "$small_dir/.ready"
fi

# Log-normal sizes (median 60 kB, sigma 1.6, at most 64 MB) from a fixed
# seed, so every machine gets the same tree.
mixed_dir=$data/mixed-$mixed_files
if ! made "$mixed_dir"; then
    echo "making a mixed tree of $mixed_files files" >&2
    rm -rf "$mixed_dir"
    awk -v n="$mixed_files" 'BEGIN {
        srand(10)
        for (i = 0; i < n; i++) {
            u1 = rand(); u2 = rand(); if (u1 < 1e-12) u1 = 1e-12
            z = sqrt(-2 * log(u1)) * cos(6.283185307179586 * u2)
            size = int(exp(log(60000) + 1.6 * z))
            if (size > 64000000) size = 64000000
            printf "%d %d\n", i, size
        }
    }' | while read -r i size; do
        folder=$mixed_dir/mixed/a$((i % 10))/b$((i % 7))
        mkdir -p "$folder"
        head -c "$size" /dev/urandom > "$folder/file$i.dat"
    done
    touch "$mixed_dir/.ready"
fi

# Enough for every slider position: 2 s to settle plus the measured time.
limit_mb=$(( (limit_seconds + 3) * 10 ))
limit_dir=$data/limit-${limit_mb}MB
if ! made "$limit_dir"; then
    rm -rf "$limit_dir"; mkdir -p "$limit_dir"
    head -c $((limit_mb * 1000000)) /dev/urandom > "$limit_dir/limit.bin"
    touch "$limit_dir/.ready"
fi

out=$data/targets
out_w=$(winpath "$out")
fresh_target() { rm -rf "$out"; mkdir -p "$out"; sync; }

mkdir -p "$results"
raw=$results/raw.tsv
report=$results/results.md
: > "$raw"

# --- the machine ----------------------------------------------------------
{
    echo "# Benchmark $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo
    echo "| | |"
    echo "|---|---|"
    echo "| cores | $(nproc) ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')) |"
    echo "| memory | $(awk '/MemTotal/ {printf "%.1f GB", $2 / 1048576}' /proc/meminfo) |"
    device=$(df --output=source "$data" | tail -1)
    echo "| disk | $device, $(df --output=fstype "$data" | tail -1 | tr -d ' '), $(lsblk -dno SIZE,ROTA,MODEL "$device" 2>/dev/null | awk '{printf "%s, %s", $1, ($2 == 1 ? "rotating" : "non-rotating")}') |"
    echo "| kernel | $(uname -r) |"
    echo "| Wine | $(wine --version), $arch build of tesrun.exe |"
    echo "| load at start | $(cut -d' ' -f1-3 /proc/loadavg) |"
    echo "| runs | $runs of each tool, interleaved, \`sync\` before each |"
    echo
} > "$report"
cat "$report"

# --- 1, 2, 6: throughput ------------------------------------------------
now_ns() { date +%s%N; }
# A run that hangs (a dialog nobody answers on the virtual display) is
# ended; its copy then differs from the source and the run says so.
give_up=1800

# run_tool SET TOOL RUN: one timed run into a fresh target; appends
# "set tool run seconds peak_kb" to the raw table.
run_tool() {
    local set=$1 tool=$2 run=$3 dir name src src_w start end peak=-
    case $set in
    big) dir=$big_dir; name=big ;;
    small) dir=$small_dir; name=small ;;
    mixed) dir=$mixed_dir; name=mixed ;;
    esac
    src=$dir/$name; src_w=$(winpath "$src")
    fresh_target
    case $tool in
    tesrun)
        local job
        job=$(wine "$bin/tessubmit.exe" /nostart "$out_w" "$src_w" \
              </dev/null 2>/dev/null | tr -d '\r')
        start=$(now_ns)
        /usr/bin/time -f %M -o "$results/peak" timeout "$give_up" \
            wine 'C:\windows\tesrun.exe' "$job" </dev/null >/dev/null 2>&1 || true
        end=$(now_ns)
        peak=$(tail -1 "$results/peak") ;;
    xcopy)
        start=$(now_ns)
        timeout "$give_up" wine xcopy "$src_w" "$out_w\\$name" /E /I /Y \
            </dev/null >/dev/null 2>&1 || true
        end=$(now_ns) ;;
    cp)
        start=$(now_ns)
        cp -r "$src" "$out/"
        end=$(now_ns) ;;
    loop)
        mkdir -p "$out/$name"
        start=$(now_ns)
        timeout "$give_up" wine "$bin/tesbench.exe" loop "$src_w\\big.bin" \
            "$out_w\\$name\\big.bin" </dev/null >/dev/null 2>&1 || true
        end=$(now_ns) ;;
    esac
    if ! diff -rq "$src" "$out/$name" >/dev/null 2>&1; then
        echo "warning: $tool's copy of $name differs from its source" >&2
    fi
    printf '%s\t%s\t%s\t%s\t%s\n' "$set" "$tool" "$run" \
        "$(awk -v s="$start" -v e="$end" 'BEGIN {printf "%.3f", (e - s) / 1e9}')" \
        "$peak" >> "$raw"
}

# median, min and max of the numbers on standard input
stats() {
    sort -g | awk '{v[NR] = $1} END {
        if (NR == 0) { print "- - -"; exit }
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%s %s %s\n", m, v[1], v[NR]
    }'
}

# Peak resident size (KB) of a copier that shows its window, paused before
# reading anything ("R", as the resume scan starts it), ended after 3 s: what
# Wine and the window cost before the copy adds its own.
idle_peak() {
    local job pid child
    fresh_target
    job=$(wine "$bin/tessubmit.exe" /nostart "$out_w" "$(winpath "$big_dir/big")" \
          </dev/null 2>/dev/null | tr -d '\r')
    /usr/bin/time -f %M -o "$results/idle" \
        wine 'C:\windows\tesrun.exe' "${job}R" </dev/null >/dev/null 2>&1 &
    pid=$!
    sleep 3
    child=$(pgrep -P "$pid" || true)
    [ -n "$child" ] && kill "$child"
    wait "$pid" || true
    rm -f "$WINEPREFIX"/drive_c/users/*/Temp/tesqueue."$job"
    tail -1 "$results/idle"
}

set_bytes() { du -sb --apparent-size "$1" | cut -f1; }
set_files() { find "$1" -type f | wc -l; }

if wants throughput; then
    echo "throughput: $runs runs of each tool, interleaved" >&2
    for run in $(seq 1 "$runs"); do
        for tool in tesrun xcopy cp loop; do run_tool big $tool "$run"; done
        for tool in tesrun xcopy cp; do run_tool small $tool "$run"; done
        for tool in tesrun xcopy cp; do run_tool mixed $tool "$run"; done
        echo "  run $run done" >&2
    done
    rm -rf "$out"

    chart_data=$results/chart.dat
    : > "$chart_data"
    {
        echo "## Throughput (seconds: median, min, max of $runs runs)"
        echo
        echo "| set | tool | median s | min s | max s | MB/s | files/s | tesrun / tool |"
        echo "|---|---|---|---|---|---|---|---|"
        for set in big small mixed; do
            case $set in
            big) src=$big_dir/big; label="1 file of $big_mb MB"; tools="tesrun xcopy cp loop" ;;
            small) src=$small_dir/small; label="$small_files files of 4 KiB"; tools="tesrun xcopy cp" ;;
            mixed) src=$mixed_dir/mixed; label="mixed tree, $mixed_files files"; tools="tesrun xcopy cp" ;;
            esac
            bytes=$(set_bytes "$src"); files=$(set_files "$src")
            label="$label ($(awk -v b="$bytes" 'BEGIN {printf "%.0f MB", b / 1e6}'))"
            tesrun_median=$(awk -F'\t' -v s=$set '$1 == s && $2 == "tesrun" {print $4}' "$raw" | stats | cut -d' ' -f1)
            for tool in $tools; do
                read -r median low high < <(awk -F'\t' -v s=$set -v t=$tool \
                    '$1 == s && $2 == t {print $4}' "$raw" | stats)
                awk -v set="$label" -v tool=$tool -v m="$median" -v lo="$low" \
                    -v hi="$high" -v b="$bytes" -v f="$files" -v t="$tesrun_median" 'BEGIN {
                    ratio = tool == "tesrun" ? "" : sprintf("%.2f", t / m)
                    printf "| %s | %s | %.2f | %.2f | %.2f | %.1f | %.0f | %s |\n",
                        set, tool, m, lo, hi, b / 1e6 / m, f / m, ratio
                }'
                echo "$set $tool $median $low $high" >> "$chart_data"
            done
        done
        echo
        echo "The \"tesrun / tool\" column is the ratio of the medians (below 1: tesrun is faster)."
        echo
        echo "## Peak working set of tesrun.exe (Linux peak resident size of its Wine process)"
        echo
        echo "| set | median MB | min MB | max MB |"
        echo "|---|---|---|---|"
        idle=$(idle_peak)
        awk -v k="$idle" 'BEGIN {printf "| window open, paused before the copy (Wine'"'"'s own share) | %.1f | | |\n", k / 1024}'
        for set in big small mixed; do
            read -r median low high < <(awk -F'\t' -v s=$set \
                '$1 == s && $2 == "tesrun" {print $5}' "$raw" | stats)
            awk -v s=$set -v m="$median" -v lo="$low" -v hi="$high" \
                'BEGIN {printf "| %s | %.1f | %.1f | %.1f |\n", s, m / 1024, lo / 1024, hi / 1024}'
        done
        echo
    } >> "$report"
fi

# --- 3: speed limit -----------------------------------------------------
if wants limit; then
    echo "speed limit: $limit_seconds s at each position" >&2
    fresh_target
    limit_rows=$results/limit.dat
    wine "$bin/tesbench.exe" limit "$(winpath "$limit_dir/limit.bin")" "$out_w" \
        "$limit_seconds" 0 5 10 15 19 </dev/null 2>/dev/null | tr -d '\r' > "$limit_rows"
    {
        echo "## Speed limit ($limit_seconds s measured at each position, after 2 s to settle)"
        echo
        echo "| position | limit B/s | achieved B/s | achieved / limit |"
        echo "|---|---|---|---|"
        awk '{printf "| %d | %d | %.0f | %.1f %% |\n", $1, $2, $3, $4}' "$limit_rows"
        echo
    } >> "$report"
fi

# --- 4: responsiveness --------------------------------------------------
big_w=$(winpath "$big_dir/big/big.bin")
# measure_response KIND COUNT_TEXT HEADING: five clicks of Pause (in one copy)
# or Cancel (five copies) timed by tesbench, as a report section.
measure_response() {
    wants "$1" || return 0
    echo "$1: $2" >&2
    fresh_target
    read -r median low high < <(wine "$bin/tesbench.exe" "$1" "$big_w" "$out_w" 5 \
        </dev/null 2>/dev/null | tr -d '\r' | tee "$results/$1.dat" | stats)
    {
        echo "## $3"
        echo
        echo "median $median ms, min $low ms, max $high ms"
        echo
    } >> "$report"
}
measure_response pause "5 times during one copy" \
    "Pause: from the click to the last byte written (5 pauses in one copy)"
measure_response cancel "5 copies" \
    "Cancel: from the click to the copier's end (5 copies)"

# --- 5: resume after a kill -----------------------------------------------
# The relaunch runs under strace, which sees every write of the copier
# into the target: the bytes written again are counted, not inferred.
if wants resume; then
    echo "resume: a copy of the mixed tree killed halfway, then relaunched" >&2
    fresh_target
    src=$mixed_dir/mixed
    read -r temp number < <(wine "$bin/tesbench.exe" halfway "$(winpath "$src")" \
        "$out_w" </dev/null 2>/dev/null | tr -d '\r')
    sync
    (cd "$src" && find . -type f -printf '%P\t%s\n' | sort) > "$results/source.lst"
    (cd "$out/mixed" && find . -type f -printf '%P\t%s\n' | sort) > "$results/before.lst"
    trace=$results/relaunch.strace
    strace -f -qq -y -s 0 -e trace=write,pwrite64,writev,pwritev -o "$trace" \
        wine "$bin/tesbench.exe" relaunch "$temp" "$number" </dev/null \
        2>/dev/null | tr -d '\r' > "$results/relaunch.out"
    diff -rq "$src" "$out/mixed" >/dev/null ||
        echo "warning: the relaunched copy differs from its source" >&2
    # Bytes each target file received in the relaunch, from the trace.
    awk -v prefix="$out/mixed/" '
        function path_of(line,   a, b) {
            a = index(line, "<"); b = index(line, ">")
            return (a && b > a) ? substr(line, a + 1, b - a - 1) : ""
        }
        $2 ~ /^(write|pwrite64|writev|pwritev)\(/ {
            p = path_of($0)
            if ($0 ~ /<unfinished \.\.\.>/) { pending[$1] = p; next }
        }
        $2 == "<..." && $3 ~ /^(write|pwrite64|writev|pwritev)$/ { p = pending[$1] }
        p != "" && index(p, prefix) == 1 && $(NF - 1) == "=" && $NF ~ /^[0-9]+$/ {
            written[substr(p, length(prefix) + 1)] += $NF
        }
        { p = "" }
        END { for (f in written) printf "%s\t%d\n", f, written[f] }
    ' "$trace" | sort > "$results/written.lst"
    {
        echo "## Resume: the mixed tree's copy killed halfway and relaunched"
        echo
        awk -F'\t' '
            FILENAME ~ /source/ { size[$1] = $2; total += $2; next }
            FILENAME ~ /before/ { had[$1] = $2; present += $2; next }
            { wrote[$1] = $2; all += $2 }
            END {
                for (f in had) {
                    if (had[f] == size[f]) { complete++; if (f in wrote) again++; againBytes += wrote[f] }
                    else partial++
                }
                printf "| | |\n|---|---|\n"
                printf "| bytes in the tree | %d |\n", total
                printf "| bytes on the target when killed | %d |\n", present
                printf "| bytes still missing | %d |\n", total - present
                printf "| bytes the relaunch wrote | %d (%.4f of the missing) |\n", all, (total - present) ? all / (total - present) : 0
                printf "| files complete when killed | %d |\n", complete
                printf "| of these written again | %d (%d bytes) |\n", again, againBytes
                printf "| files partial when killed | %d |\n", partial
            }' "$results/source.lst" "$results/before.lst" "$results/written.lst"
        echo "| replace questions in the relaunch | $(grep -c '^question' "$results/relaunch.out" || true) |"
        echo
    } >> "$report"
    rm -rf "$out"
fi

# --- chart ----------------------------------------------------------------
if [ -s "${chart_data:-/nonexistent}" ]; then
    chart=$results/chart.png
    gnuplot <<EOF
set terminal pngcairo size 1200,420 font "DejaVu Sans,10" noenhanced
set output "$chart"
set multiplot layout 1,3 title "Seconds per copy (median; bars: min to max of $runs runs), Wine $(wine --version | sed 's/wine-//')"
set style fill solid 0.6 border -1
set boxwidth 0.6
set yrange [0:*]
set grid ytics
unset key
do for [s in "big small mixed"] {
    set title (s eq "big" ? "1 file of $big_mb MB" : s eq "small" ? "$small_files files of 4 KiB" : "mixed tree, $mixed_files files")
    plot "< grep '^".s." ' $chart_data" using 0:3:xtic(2) with boxes lc rgb "#4a7ebb", \
         "" using 0:3:4:5 with yerrorbars lc rgb "black" pt 0
}
unset multiplot
EOF
    echo "chart: $chart" >&2
fi

echo
cat "$report"
echo "results: $results" >&2
