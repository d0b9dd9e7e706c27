#!/usr/bin/env bash
# Screenshots of every window of the copier and the installer, with their
# frames, for a look at whether every text fits and every button shows its
# picture: the progress window waiting to resume, the error dialog, the
# window retrying (running) and paused, the About box, the replace
# question, the list of items a job left out, the windows with names of
# other scripts; the setup window, its About dialog and its "Finished"
# message.  Japanese names need a font the Wine prefix links to (an East
# Asian font installed on the host); without one they show as boxes.
#
#   tools/screenshots.sh OUT_FOLDER [BUILD_DIR]
#
# BUILD_DIR is an i686 or x86_64 build with the tests (default
# build/shots); its bin/tesrun.exe, bin/tessetup.exe and bin/lock_file.exe
# are used, and its Wine prefix and Xvfb come from tests/wine/run.sh
# --prepare.  The installer scene installs into that prefix and removes
# the installation again.  Each scene runs in a Wine
# virtual desktop of 640x480; a small clicker built here and started in the
# same desktop presses the buttons, since a program outside that desktop
# cannot see its windows.
set -euo pipefail

out=${1:?usage: screenshots.sh OUT_FOLDER [BUILD_DIR]}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$repo/build/shots}" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
bin=$build/bin
[ -f "$bin/tesrun.exe" ] && [ -f "$bin/tessetup.exe" ] && [ -f "$bin/lock_file.exe" ] ||
    { echo "screenshots.sh: build tesrun, tessetup and lock_file in $build first" >&2; exit 2; }
PATH=$repo/tests/wine/bin:$PATH
# The clicker is built for the build's own architecture: where Wine runs
# no 32-bit programs, the x86_64 build still gets its screenshots.
compiler=x86_64-w64-mingw32-gcc
pe=$(od -An -tu4 -j60 -N4 "$bin/tesrun.exe" | tr -d ' ')
[ "$(od -An -tx2 -j$((pe + 4)) -N2 "$bin/tesrun.exe" | tr -d ' ')" = 014c ] &&
    compiler=i686-w64-mingw32-gcc

"$repo/tests/wine/run.sh" --prepare "$build"
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
read -r display_number _ < "$build/xvfb.display"
export DISPLAY=:$display_number

# A short folder, so that the From and To lines show whole paths.
scratch=$(mktemp -d /tmp/tshot.XXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/src" "$scratch/dst"

# The clicker: waits for a top-level window (by title, or the About box by
# its address field) and optionally presses one of its buttons.
cat > "$scratch/clicker.c" <<'EOF'
#include <windows.h>
#include <stdlib.h>
#include <string.h>
static const char *wanted;
static HWND found;
static BOOL CALLBACK Visit(HWND w, LPARAM unused)
{
    char title[256];
    (void)unused;
    if (!IsWindowVisible(w))
        return TRUE;
    GetWindowTextA(w, title, sizeof title);
    if ((strcmp(wanted, "#about") == 0 && GetDlgItem(w, 1039)) ||
        strcmp(title, wanted) == 0) {
        found = w;
        return FALSE;
    }
    return TRUE;
}
/* clicker TITLE ID DONE_FILE: ID "-" only waits; DONE_FILE is made at the
   end, since explorer does not return while its desktop lives. */
int main(int argc, char **argv)
{
    if (argc < 4)
        return 3;
    wanted = argv[1];
    for (int i = 0; i < 600 && !found; i++) {
        EnumWindows(Visit, 0);
        if (!found)
            Sleep(50);
    }
    if (found && strcmp(argv[2], "-") != 0)
        PostMessageA(found, WM_COMMAND, MAKEWPARAM(atoi(argv[2]), BN_CLICKED),
                     (LPARAM)GetDlgItem(found, atoi(argv[2])));
    CloseHandle(CreateFileA(argv[3], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            found ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_HIDDEN,
                            NULL));
    return found ? 0 : 1;
}
EOF
"$compiler" -O1 -static "$scratch/clicker.c" -o "$scratch/clicker.exe"

temp_dos=$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
temp_unix=$(winepath -u "$temp_dos" 2>/dev/null)
mkdir -p "$temp_unix"
src_dos=$(winepath -w "$scratch/src" 2>/dev/null)
dst_dos=$(winepath -w "$scratch/dst" 2>/dev/null)

# tesqueue.NNN: 7 filler bytes, the mode, a 4-byte count, target, sources.
write_job() {
    local number=$1 mode=$2 target=$3
    shift 3
    python3 - "$temp_unix/tesqueue.$number" "$mode" "$target" "$@" <<'EOF'
import struct, sys
path, mode, target, sources = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
body = struct.pack('<I', len(sources)) + target.encode() + b'\0'
body += b''.join(s.encode() + b'\0' for s in sources)
open(path, 'wb').write(bytes(7) + bytes([mode]) + body)
EOF
}

# The same in the Unicode form: the signature and UTF-8 paths.
write_job_unicode() {
    local number=$1 mode=$2 target=$3
    shift 3
    python3 - "$temp_unix/tesqueue.$number" "$mode" "$target" "$@" <<'EOF'
import struct, sys
path, mode, target, sources = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
body = struct.pack('<I', len(sources)) + target.encode('utf-8') + b'\0'
body += b''.join(s.encode('utf-8') + b'\0' for s in sources)
open(path, 'wb').write(b'TesUTF8' + bytes([mode]) + body)
EOF
}

desktop() {   # desktop NAME PROGRAM ARGS...: start in the virtual desktop
    local name=$1
    shift
    setsid wine explorer /desktop="$name",640x480 "$@" </dev/null >/dev/null 2>&1 &
}

click() {     # click DESKTOP TITLE [ID]: waits for the window, presses ID
    local name=$1 title=$2 id=${3:--}
    local done=$scratch/clicked
    rm -f "$done"
    desktop "$name" "$scratch/clicker.exe" "$title" "$id" "$(winepath -w "$done" 2>/dev/null)"
    local waited=0
    until [ -e "$done" ]; do
        sleep 0.1
        waited=$((waited + 1))
        [ $waited -lt 900 ] || { echo "screenshots.sh: no window \"$title\"" >&2; exit 1; }
    done
    # Let the window draw what the click changed.
    sleep 1
}

shot() {
    echo "screenshots.sh: $(date +%T.%N) $1" >&2
    # A desktop that has just replaced another may not have drawn yet: the
    # screen is then all black for a moment.
    local tries=0
    while import -display "$DISPLAY" -window root -crop 640x480+0+0 +repage "$out/$1.png" &&
          [ "$(convert "$out/$1.png" -format '%[fx:maxima]' info:)" = 0 ] &&
          [ $tries -lt 20 ]; do
        sleep 0.5
        tries=$((tries + 1))
    done
    echo "screenshots.sh: $out/$1.png"
}

# Scene 1: a paused start, then its About box.
head -c 3000000 /dev/urandom > "$scratch/src/Quarterly Figures.XLS"
write_job 501 1 "$dst_dos\\" "$src_dos\\Quarterly Figures.XLS"
desktop shot1 "$bin/tesrun.exe" 501R
click shot1 "Ready to resume..."
shot progress_ready_to_resume
click shot1 "Ready to resume..." 1011
click shot1 "#about"
shot about_box
click shot1 "#about" 1
click shot1 "Ready to resume..." 2

# Scene 2: a 50 MB file, then one held open by another program.
head -c 50000000 /dev/urandom > "$scratch/src/first.bin"
head -c 50000000 /dev/urandom > "$scratch/src/Locked Report.DOC"
setsid wine "$bin/lock_file.exe" "$src_dos\\Locked Report.DOC" shots_ready shots_release \
    </dev/null >/dev/null 2>&1 &
locker=$!
sleep 2
write_job 502 1 "$dst_dos" "$src_dos\\first.bin" "$src_dos\\Locked Report.DOC"
desktop shot2 "$bin/tesrun.exe" 502
click shot2 "Error Copying File"
shot error_dialog
click shot2 "Error Copying File" 1045
sleep 2
shot progress_running
click shot2 "(50%) Copying..." 1004
shot progress_paused
click shot2 "(50%) Paused" 2
kill "$locker" 2>/dev/null || true
wait "$locker" 2>/dev/null || true

# Scene 3: a move whose source another program holds open, deep in long
# folder names, so the error dialog must wrap a long path.
deep="$scratch/src/documents and settings/all users/application data/reports for the annual meeting"
mkdir -p "$deep"
head -c 100000 /dev/urandom > "$deep/Minutes.DOC"
setsid wine "$bin/lock_file.exe" "$(winepath -w "$deep/Minutes.DOC" 2>/dev/null)" \
    shots_ready2 shots_release2 </dev/null >/dev/null 2>&1 &
locker=$!
sleep 2
write_job 504 0 "$dst_dos" "$(winepath -w "$deep/Minutes.DOC" 2>/dev/null)"
desktop shot5 "$bin/tesrun.exe" 504
click shot5 "Error Moving File"
shot error_dialog_move
click shot5 "Error Moving File" 1034
# The skipped file is listed at the end of the job.
click shot5 "Items Skipped"
shot skipped_list
click shot5 "Items Skipped" 1
kill "$locker" 2>/dev/null || true
wait "$locker" 2>/dev/null || true

# Scene 4: a target that already exists, larger and older than its source.
head -c 1234567 /dev/urandom > "$scratch/src/Annual Report.DOC"
head -c 2345678 /dev/urandom > "$scratch/dst/Annual Report.DOC"
touch -d '1998-03-05 09:07:03' "$scratch/dst/Annual Report.DOC"
write_job 503 1 "$dst_dos" "$src_dos\\Annual Report.DOC"
desktop shot3 "$bin/tesrun.exe" 503
click shot3 "Confirm File Replace"
shot replace_dialog
click shot3 "Confirm File Replace" 7

# Scene 6: names of other scripts (Cyrillic, Japanese, an emoji) in the
# progress window and in the replace question.
unicode_folder="Отчёты 日本 😀"
unicode_file="Годовой отчёт 年次報告 😀.bin"
mkdir -p "$scratch/src/$unicode_folder" "$scratch/dst/Цель ā/$unicode_folder"
head -c 3000000 /dev/urandom > "$scratch/src/$unicode_folder/$unicode_file"
head -c 1000 /dev/urandom > "$scratch/dst/Цель ā/$unicode_folder/$unicode_file"
touch -d '1998-03-05 09:07:03' "$scratch/dst/Цель ā/$unicode_folder/$unicode_file"
write_job_unicode 505 1 "$dst_dos\\Цель ā" "$src_dos\\$unicode_folder"
desktop shot6 "$bin/tesrun.exe" 505R
click shot6 "Ready to resume..."
shot progress_unicode
click shot6 "Ready to resume..." 1004
click shot6 "Confirm File Replace"
shot replace_dialog_unicode
click shot6 "Confirm File Replace" 7

# Scene 5: the installer's window, its About dialog, and the message of an
# install, after which the button reads "Reinstall"; removed again after.
desktop shot4 "$bin/tessetup.exe"
click shot4 "Tessary Copy v1.1"
shot setup_window
click shot4 "Tessary Copy v1.1" 1025
click shot4 "#about"
shot setup_about
click shot4 "#about" 1
click shot4 "Tessary Copy v1.1" 1013
click shot4 "Finished"
shot setup_installed
click shot4 "Finished" 1
click shot4 "Tessary Copy v1.1" 1015
wine "$bin/tessetup.exe" /uninstall </dev/null >/dev/null 2>&1 || true
