// Where the programs look for DLLs loaded by name: the system folder only.
// Used first thing in the installer's and the copier's WinMain.
#pragma once

#include <windows.h>

// From the call on, a DLL loaded by a bare name (by the program, or by a
// system DLL on its behalf, as comctl32 loads uxtheme.dll for the visual
// styles) is looked for in the system folder only, never in the program's
// own folder.  An installer usually starts from a downloads folder, which
// may hold anything else that was downloaded, a "version.dll" or
// "dwmapi.dll" too, and runs elevated; the copier is started from the
// Windows folder at every logon.
//
// SetDefaultDllDirectories exists from Windows 8 on, and on Windows 7
// with update KB2533623; it is looked up, so that the program still
// starts without it.  Where it is missing, SetDllDirectoryA("") at least
// takes the current folder out of the search (the program's own folder
// stays in it there: nothing else can take it out).
inline void DllSearch_SystemFolderOnly(void)
{
    typedef BOOL(WINAPI * SET_DEFAULT_DLL_DIRECTORIES)(DWORD flags);
    typedef BOOL(WINAPI * SET_DLL_DIRECTORY)(LPCSTR path);
    // Found among the modules already loaded: nothing is loaded for this.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return;
    // GetProcAddress returns a generic function pointer; it is cast to the
    // function's true type through void (*)(void), the type that stands
    // for any function.
    FARPROC found = GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (found && ((SET_DEFAULT_DLL_DIRECTORIES)(void (*)(void))found)(
                     LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    found = GetProcAddress(kernel, "SetDllDirectoryA");
    if (found)
        ((SET_DLL_DIRECTORY)(void (*)(void))found)("");
}
