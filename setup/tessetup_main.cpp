// tessetup.exe: the installer.  Without arguments it shows the setup
// window and ends with exit code 1, whatever happened.  For administrators
// and scripts, "/install" and "/uninstall" run the same operations without
// any window or message and end with 0 on success, 1 on failure.  The
// 32-bit installer on 64-bit Windows refuses to install (its window says
// why; "/install" writes nothing and ends with 1) but still uninstalls.
#include "dll_search.h"
#include "setup.h"
#include "setup_ids.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

extern bool g_installedAtStart;

// The argument alone, without surrounding blanks, compared without regard
// to case.
static bool Setup_IsSwitch(const char *commandLine, const char *name)
{
    while (*commandLine == ' ' || *commandLine == '\t')
        commandLine++;
    size_t length = strlen(name);
    if (_strnicmp(commandLine, name, length) != 0)
        return false;
    for (const char *rest = commandLine + length; *rest; rest++)
        if (*rest != ' ' && *rest != '\t')
            return false;
    return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine,
                   int show)
{
    // Before anything else: the installer runs elevated, usually from a
    // downloads folder, and must never load a DLL planted there.
    DllSearch_SystemFolderOnly();
    (void)previous;
    (void)show;
    g_hInstance = instance;
    g_installRefused = Setup_RefusesInstall(sizeof(void *), Setup_AskWow64());

    if (Setup_IsSwitch(commandLine, "/install") ||
        Setup_IsSwitch(commandLine, "/uninstall")) {
        g_silent = true;
        bool done = Setup_IsSwitch(commandLine, "/install") ? InstallAll()
                                                            : UninstallAll();
        return done ? 0 : 1;
    }

    // Only the copier file decides; it is closed again at once, so nothing
    // of the installer holds it while the window is open.
    char copierPath[SETUP_WINDOWS_BUFFER + MAX_PATH];
    if (Setup_InstalledPath(SETUP_COPIER_FILE, copierPath)) {
        FILE *copier = fopen(copierPath, "rb");
        if (copier) {
            g_installedAtStart = true;
            fclose(copier);
        }
    }

    InitCommonControls();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), NULL,
                    SetupWindow_Proc, 0);
    return 1;
}
