// Helpers of both operations: the install paths, the message boxes and the
// install button's caption.
#include "setup.h"
#include "setup_ids.h"

#include <cstring>

HINSTANCE g_hInstance;
HWND g_hwndSetup;
bool g_silent;
bool g_installRefused;

const char c_InstallRefusedText[] =
    "This is the 32-bit installer, and this Windows is 64-bit: its Explorer "
    "would never load what the 32-bit installer installs. To install Tessary "
    "Copy, run the 64-bit tessetup.exe instead. Uninstall / Remove still "
    "removes an earlier 32-bit installation.";

bool Setup_InstalledPath(const char *name, char *path)
{
    char windows[SETUP_WINDOWS_BUFFER];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) {
        // Still a path to name in the message: the bare file name.
        strcpy(path, name);
        return false;
    }
    wsprintfA(path, "%s\\%s", windows, name);
    return true;
}

void Setup_Message(const char *text, const char *caption)
{
    if (!g_silent)
        MessageBoxA(NULL, text, caption, MB_OK);
}

void Setup_SetInstallCaption(const char *caption)
{
    if (g_hwndSetup)
        SetDlgItemTextA(g_hwndSetup, IDC_SETUP_INSTALL, caption);
}
