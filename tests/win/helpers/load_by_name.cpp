// Test helper: loads DLLs by their bare names, as a program or a system DLL
// does after start-up, with or without first restricting the search the
// way the installer and the copier do (common/dll_search.h).
//
//   load_by_name.exe restricted|unrestricted NAME...
//
// Which copy was loaded shows only in the marks the planted DLLs leave
// (tests/win/planted): Wine names its own builtin DLL by the path where it
// found a file of that name.  Ends with 0; 100 on a wrong command line.
#include <windows.h>

#include <cstring>

#include "../../../common/dll_search.h"

int main(int argc, char **argv)
{
    if (argc < 2 || (strcmp(argv[1], "restricted") != 0 &&
                     strcmp(argv[1], "unrestricted") != 0))
        return 100;
    if (strcmp(argv[1], "restricted") == 0)
        DllSearch_SystemFolderOnly();

    for (int i = 2; i < argc; i++)
        LoadLibraryA(argv[i]);
    return 0;
}
