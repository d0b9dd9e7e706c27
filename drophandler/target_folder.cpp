// The drop target's path from the shell's item-identifier list.
#include "target_folder.h"

#include <cwchar>

enum { GETPATH_DEFAULT_FLAGS = 0 };   // GPFIDL_DEFAULT: the file-system path

SHGETPATHFROMIDLISTEX TesMenu_FindGetPathEx(void)
{
    // The handler links shell32, so it is loaded whenever we are.
    HMODULE shell = GetModuleHandleA("shell32.dll");
    if (!shell)
        return NULL;
    return (SHGETPATHFROMIDLISTEX)(void *)GetProcAddress(
        shell, "SHGetPathFromIDListEx");
}

bool TesMenu_PathFromIDList(LPCITEMIDLIST pidl, WCHAR *out, DWORD outSize,
                            SHGETPATHFROMIDLISTEX getPathEx)
{
    if (outSize < MAX_PATH) {
        if (outSize > 0)
            out[0] = L'\0';
        return false;
    }
    out[0] = L'\0';
    BOOL found = getPathEx
                     ? getPathEx(pidl, out, outSize, GETPATH_DEFAULT_FLAGS)
                     : SHGetPathFromIDListW(pidl, out);
    // A failed call may leave part of a path behind, and a path without
    // its NUL was cut: either would send the items elsewhere.  An empty
    // target is what the submission refuses.
    if (!found || !wmemchr(out, L'\0', outSize))
        out[0] = L'\0';
    return out[0] != L'\0';
}
