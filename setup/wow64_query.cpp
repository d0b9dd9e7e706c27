// Asks Windows whether the installer runs under WoW64 (a 32-bit process on
// 64-bit Windows).
#include "setup.h"

SETUP_WOW64 Setup_AskWow64(void)
{
    typedef BOOL(WINAPI * IS_WOW64_PROCESS)(HANDLE process, PBOOL wow64);
    // Looked up: Windows before XP SP2 lacks the function, and the
    // installer must still start there.  Found among the modules already
    // loaded, so nothing is loaded for it.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel ? GetProcAddress(kernel, "IsWow64Process") : NULL;
    if (!found)
        return SETUP_WOW64_UNKNOWN;
    // Cast to its true type through void (*)(void), which stands for any
    // function.
    IS_WOW64_PROCESS isWow64Process = (IS_WOW64_PROCESS)(void (*)(void))found;
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64))
        return SETUP_WOW64_UNKNOWN;
    return wow64 ? SETUP_WOW64_YES : SETUP_WOW64_NO;
}
