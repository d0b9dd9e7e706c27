// The installer's process-wide state and operations: the setup window and
// the two command-line switches call InstallAll and UninstallAll, which
// report through message boxes and set the caption of the install button.
#pragma once

#include <windows.h>

#include "install_refusal.h"

// Where the two deliverables are installed and what the registry names.
#define SETUP_COPIER_FILE       "tesrun.exe"
#define SETUP_HOOK_FILE         "teshook.dll"
#define SETUP_CLASS_ID          "{A4D78B20-6E05-1069-8758-4E73FD83DEAD}"
#define SETUP_HANDLER_NAME      "TesDrop"
#define SETUP_RUN_VALUE         "Resume copy"
#define SETUP_WINDOWS_BUFFER    300

extern HINSTANCE g_hInstance;
// The setup window, once open; NULL when run from the command line.
extern HWND g_hwndSetup;
// Set by /install and /uninstall: no message box is shown.
extern bool g_silent;
// Set at start-up when this installer must not install (a 32-bit installer
// on 64-bit Windows); uninstalling still works.
extern bool g_installRefused;
// What the refused installer says, in its window and when Install is
// pressed.
extern const char c_InstallRefusedText[];

// Whether the installer's own process runs under WoW64.
SETUP_WOW64 Setup_AskWow64(void);

// Both return true when every step succeeded.
bool InstallAll(void);
bool UninstallAll(void);

// The Windows folder, a backslash and `name` into `path` (a buffer of
// SETUP_WINDOWS_BUFFER + MAX_PATH characters).  False when the system does
// not report the folder; `path` is then just the name.
bool Setup_InstalledPath(const char *name, char *path);

// A plain message box (no owner, OK, no icon), unless running silently.
void Setup_Message(const char *text, const char *caption);

// Caption of the install button, when the setup window is open.
void Setup_SetInstallCaption(const char *caption);

INT_PTR CALLBACK SetupWindow_Proc(HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam);
INT_PTR CALLBACK AboutDialog_Proc(HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam);
