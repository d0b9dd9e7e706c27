#!/usr/bin/env bash
# Copy throughput of tesrun against Wine's xcopy, under Wine: one large
# file (MB/s) and many small files (files/s).  Run on demand, not by ctest.
#
#   bench/copy_throughput.sh [BUILD_DIR] [BIG_MB] [SMALL_COUNT]
#
# BUILD_DIR is a mingw build (default build/i686) with bin/tesrun.exe and
# bin/tessubmit.exe; its Wine prefix and display come from
# tests/wine/run.sh --prepare.  Each case is run once after a warm-up of
# the page cache; the numbers include Wine's process start.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/i686}" && pwd)
big_mb=${2:-200}
small_count=${3:-2000}

[ -f "$build/bin/tesrun.exe" ] || { echo "no tesrun.exe in $build/bin" >&2; exit 2; }
"$here/tests/wine/run.sh" --prepare "$build" >/dev/null

export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all
if [ -z "${DISPLAY:-}" ]; then
    read -r number _ < "$build/xvfb.display"
    export DISPLAY=:$number
fi
wineserver -p 2>/dev/null || true

root=$WINEPREFIX/drive_c/tesbench
win_root='C:\tesbench'
rm -rf "$root"
mkdir -p "$root/src/big" "$root/src/small" "$root/tmp"
head -c $((big_mb * 1000000)) /dev/urandom > "$root/src/big/big.bin"
for i in $(seq 1 "$small_count"); do
    head -c 4096 /dev/urandom > "$root/src/small/f$i.bin"
done
cat "$root/src/big/big.bin" "$root/src/small/"* > /dev/null   # warm the cache

export TMP="$win_root\\tmp" TEMP="$win_root\\tmp"

# Seconds (with fractions) that the command takes.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 </dev/null || true
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

tesrun_copy() {   # SOURCE_FOLDER_NAME
    rm -rf "$root/dst"; mkdir -p "$root/dst"
    local job
    job=$(wine "$build/bin/tessubmit.exe" /nostart "$win_root\\dst" \
              "$win_root\\src\\$1" | tr -d '\r')
    wine "$build/bin/tesrun.exe" "$job"
}

xcopy_copy() {    # SOURCE_FOLDER_NAME
    rm -rf "$root/dst"; mkdir -p "$root/dst"
    wine xcopy "$win_root\\src\\$1" "$win_root\\dst\\$1" /E /I /Y /Q
}

check() {         # SOURCE_FOLDER_NAME
    diff -r "$root/src/$1" "$root/dst/$1" >/dev/null ||
        echo "warning: the copy of $1 differs from its source" >&2
}

t_big=$(seconds tesrun_copy big);   check big
x_big=$(seconds xcopy_copy big);    check big
t_small=$(seconds tesrun_copy small); check small
x_small=$(seconds xcopy_copy small);  check small

printf '%-8s %-28s %10s %12s\n' tool case seconds rate
printf '%-8s %-28s %10.2f %9.1f MB/s\n' tesrun "1 file of $big_mb MB" "$t_big" "$(echo "$big_mb / $t_big" | bc -l)"
printf '%-8s %-28s %10.2f %9.1f MB/s\n' xcopy "1 file of $big_mb MB" "$x_big" "$(echo "$big_mb / $x_big" | bc -l)"
printf '%-8s %-28s %10.2f %7.0f files/s\n' tesrun "$small_count files of 4 KB" "$t_small" "$(echo "$small_count / $t_small" | bc -l)"
printf '%-8s %-28s %10.2f %7.0f files/s\n' xcopy "$small_count files of 4 KB" "$x_small" "$(echo "$small_count / $x_small" | bc -l)"

rm -rf "$root"
