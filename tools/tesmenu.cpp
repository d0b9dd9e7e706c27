// tesmenu: shows the drop menu that a right-drop onto a folder brings up,
// the shell's own items with the drop handler's two inserted on top, for a
// look at it (and screenshots).  It dismisses the menu after `/seconds N`
// (default 30).
//
//   tesmenu [/dll PATH] [/seconds N]
//
// Without /dll the handler comes from the registered class.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "shell_drop.h"

enum { MENU_TIMER_ID = 1, FIRST_ID = 100 };

static LRESULT CALLBACK Menu_WindowProc(HWND window, UINT message,
                                        WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        // Ends the menu's own modal loop.
        EndMenu();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(void)
{
    int argc = 0;
    WCHAR **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 1;
    const WCHAR *dll = NULL;
    int seconds = 30;
    for (int arg = 1; arg + 1 < argc; arg += 2) {
        if (wcscmp(argv[arg], L"/dll") == 0)
            dll = argv[arg + 1];
        else if (wcscmp(argv[arg], L"/seconds") == 0)
            seconds = _wtoi(argv[arg + 1]);
    }
    if (FAILED(CoInitialize(NULL)))
        return 1;
    IShellExtInit *handler = NULL;
    HMODULE module = NULL;
    HRESULT result = ShellDrop_CreateHandler(dll, &handler, &module);
    if (FAILED(result)) {
        fprintf(stderr, "tesmenu: no drop handler (0x%08lx)\n",
                (unsigned long)result);
        return 1;
    }
    IContextMenu *menu = NULL;
    handler->QueryInterface(IID_IContextMenu, (void **)&menu);

    // The shell's own drop menu, default item in bold.
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "&Move Here");
    AppendMenuA(popup, MF_STRING, 2, "&Copy Here");
    AppendMenuA(popup, MF_STRING, 3, "Create &Shortcut(s) Here");
    AppendMenuA(popup, MF_SEPARATOR, 0, NULL);
    AppendMenuA(popup, MF_STRING, 4, "Cancel");
    SetMenuDefaultItem(popup, 2, FALSE);
    menu->QueryContextMenu(popup, 0, FIRST_ID, FIRST_ID + 10, CMF_NORMAL);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Menu_WindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "TesMenuOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowA("TesMenuOwner", "Drop menu", WS_POPUP, 0, 0, 1,
                               1, NULL, NULL, windowClass.hInstance, NULL);
    ShowWindow(owner, SW_SHOWNORMAL);
    SetForegroundWindow(owner);
    SetTimer(owner, MENU_TIMER_ID, seconds * 1000, NULL);
    UINT chosen = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN, 40, 40,
                                 0, owner, NULL);
    printf("%u\n", chosen);

    DestroyMenu(popup);
    DestroyWindow(owner);
    menu->Release();
    handler->Release();
    if (module)
        FreeLibrary(module);
    CoUninitialize();
    LocalFree(argv);
    return 0;
}
