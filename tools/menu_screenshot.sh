#!/usr/bin/env bash
# Screenshot of the drop menu that a right-drop onto a folder shows: the
# shell's items with the drop handler's two on top (tools/tesmenu.cpp).
#
#   tools/menu_screenshot.sh OUT.png [BUILD_DIR]
#
# BUILD_DIR (default build/x86_64) must hold bin/tesmenu.exe and
# bin/teshook.dll; its Wine prefix and Xvfb come from tests/wine/run.sh.
set -euo pipefail
out=${1:?usage: menu_screenshot.sh OUT.png [BUILD_DIR]}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$repo/build/x86_64}" && pwd)
PATH=$repo/tests/wine/bin:$PATH
TES_XVFB=1 "$repo/tests/wine/run.sh" --prepare "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
export DISPLAY=:$(cut -d' ' -f1 "$build/xvfb.display")
handler=$(wine winepath -w "$build/bin/teshook.dll" 2>/dev/null | tr -d '\r')
wine "$build/bin/tesmenu.exe" /dll "$handler" /seconds 20 >/dev/null 2>&1 &
menu=$!
# The menu is up once a window of its size shows at its place.
for _ in $(seq 100); do
    sleep 0.2
    xwininfo -root -children 2>/dev/null | grep -q '+40+40' && break
done
sleep 0.5
import -window root -crop 260x150+30+30 +repage "$out"
kill "$menu" 2>/dev/null || true
