#!/usr/bin/env bash
# Inspects the built deliverables without running them, so that an i686
# build is checked even where Wine cannot run 32-bit programs:
#
#   check_deliverables.sh OBJDUMP BIN_FOLDER pei-i386|pei-x86-64
#
# - each is a program for the build's machine: the two programs for the
#   GUI subsystem, the handler a DLL;
# - each imports system DLLs only (no mingw runtime DLL, which Windows
#   lacks, nor anything a user's folder could supply);
# - the handler exports exactly DllCanUnloadNow and DllGetClassObject,
#   undecorated (a stdcall "Name@12" would not be found by the shell);
# - the copier carries its manifest's asInvoker level, the installer
#   requireAdministrator.
# Prints every finding; exit code 1 when any check failed.
set -u
objdump=$1 bin=$2 format=$3
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# System DLLs every Windows from 7 on has in its system folder, most of
# them known DLLs, which are never looked for elsewhere.
system_dlls=' kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll shell32.dll ole32.dll msvcrt.dll '

for file in tesrun.exe tessetup.exe teshook.dll; do
    path=$bin/$file
    [ -f "$path" ] || { fail "$file: not built"; continue; }
    dump=$("$objdump" -p "$path") || { fail "$file: objdump failed"; continue; }

    grep -q "file format $format\$" <<<"$dump" ||
        fail "$file: not $format ($(grep -m1 'file format' <<<"$dump"))"

    characteristics=$(awk '/^Characteristics/ { print $2; exit }' <<<"$dump")
    subsystem=$(awk '/^Subsystem/ { print $2; exit }' <<<"$dump")
    if [ "$file" = teshook.dll ]; then
        (( characteristics & 0x2000 )) || fail "$file: not a DLL (characteristics $characteristics)"
    else
        (( characteristics & 0x2000 )) && fail "$file: built as a DLL"
        [ "$subsystem" = 00000002 ] || fail "$file: subsystem $subsystem, not the Windows GUI (2)"
    fi

    imports=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$dump")
    [ -n "$imports" ] || fail "$file: no imports found"
    for dll in $imports; do
        [[ $system_dlls == *" $dll "* ]] || fail "$file: imports $dll, which is no system DLL"
    done
    echo "$file: imports $(echo $imports)"
done

if [ -f "$bin/teshook.dll" ]; then
    # The names stand one to a line ("[   n] Name") under the heading
    # "[Ordinal/Name Pointer] Table" of binutils' dump, up to a blank line.
    exports=$("$objdump" -p "$bin/teshook.dll" |
        awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
             table && /^\t\[ *[0-9]+\] / { print $3; next }
             table && NF == 0 { table = 0 }' | sort | tr '\n' ' ')
    [ "$exports" = "DllCanUnloadNow DllGetClassObject " ] ||
        fail "teshook.dll: exports '$exports', not exactly DllCanUnloadNow and DllGetClassObject"
    echo "teshook.dll: exports $exports"
fi

# The manifest's run level.  The installer carries the copier inside it, so
# the copier's level is found there too; its own must be there as well.
level_of() { grep -a -o 'requestedExecutionLevel level="[A-Za-z]*"' "$1" | sed 's/.*level=//' | tr -d '"' | sort -u | tr '\n' ' '; }
[ "$(level_of "$bin/tesrun.exe")" = "asInvoker " ] ||
    fail "tesrun.exe: run level '$(level_of "$bin/tesrun.exe")', not asInvoker"
[[ " $(level_of "$bin/tessetup.exe")" == *" requireAdministrator "* ]] ||
    fail "tessetup.exe: run levels '$(level_of "$bin/tessetup.exe")', no requireAdministrator"

exit $failed
