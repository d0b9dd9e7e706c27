// The drop target's file-system path, as long as the shell can give it.
// Used by Initialize; a header of its own so tests can hand it a stand-in
// for the shell's call.
#pragma once

#include <windows.h>
#include <shlobj.h>

// SHGetPathFromIDListEx (Vista on): the buffer's size is an argument, so it
// can give paths past MAX_PATH.  Looked up at run time: the handler still
// loads where shell32 has only SHGetPathFromIDListW.
typedef BOOL(WINAPI *SHGETPATHFROMIDLISTEX)(LPCITEMIDLIST pidl, PWSTR path,
                                            DWORD pathSize, int flags);

// shell32's SHGetPathFromIDListEx, or NULL where it has none.
SHGETPATHFROMIDLISTEX TesMenu_FindGetPathEx(void);

// The path of the folder `pidl` names into `out` (`outSize` units, at
// least MAX_PATH): through `getPathEx` when not NULL, else through
// SHGetPathFromIDListW.  Returns false, with `out` empty, when the list
// names no file-system folder or its path does not fit.
bool TesMenu_PathFromIDList(LPCITEMIDLIST pidl, WCHAR *out, DWORD outSize,
                            SHGETPATHFROMIDLISTEX getPathEx);
