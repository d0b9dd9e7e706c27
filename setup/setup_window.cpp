// The setup window (dialog 100) and the About dialog (138).  Both
// procedures return 0 for every message and leave the rest to the dialog
// manager.  The setup window is ended by the quit message, which ends its
// modal loop; it never calls EndDialog itself.
#include "setup.h"
#include "setup_ids.h"

// Set at start-up when the installed copier file could be read.
bool g_installedAtStart;

// Room for the refusal notice above the row of buttons, in dialog units.
enum { SETUP_REFUSAL_ROOM = 30 };

// The refusing installer says why in its window: the notice, hidden in the
// template, shows above the row of buttons, which moves down, and the
// window grows by the same height.
static void SetupWindow_ShowRefusal(HWND hwnd)
{
    RECT room = {0, 0, 0, SETUP_REFUSAL_ROOM};
    MapDialogRect(hwnd, &room);
    static const int c_RowOfButtons[] = {IDC_SETUP_INSTALL, IDC_SETUP_UNINSTALL,
                                         IDC_SETUP_ABOUT, IDC_SETUP_EXIT};
    for (int id : c_RowOfButtons) {
        HWND button = GetDlgItem(hwnd, id);
        RECT place;
        GetWindowRect(button, &place);
        MapWindowPoints(NULL, hwnd, (POINT *)&place, 2);
        SetWindowPos(button, NULL, place.left, place.top + room.bottom, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT window;
    GetWindowRect(hwnd, &window);
    SetWindowPos(hwnd, NULL, 0, 0, window.right - window.left,
                 window.bottom - window.top + room.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetDlgItemTextA(hwnd, IDC_SETUP_REFUSAL, c_InstallRefusedText);
    ShowWindow(GetDlgItem(hwnd, IDC_SETUP_REFUSAL), SW_SHOW);
}

static const char c_AuthorWeb[] = "http://www.example.org/tessary/";
static const char c_AuthorMail[] = "tessary@example.org";

INT_PTR CALLBACK SetupWindow_Proc(HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        g_hwndSetup = hwnd;
        if (g_installedAtStart)
            SetDlgItemTextA(hwnd, IDC_SETUP_INSTALL, "Reinstall");
        if (g_installRefused)
            SetupWindow_ShowRefusal(hwnd);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SETUP_INSTALL:
            InstallAll();
            break;
        case IDC_SETUP_UNINSTALL:
            UninstallAll();
            break;
        case IDC_SETUP_ABOUT:
            DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_SETUP_ABOUT), NULL,
                            AboutDialog_Proc, 0);
            break;
        case IDC_SETUP_EXIT:
        case IDOK:
        case IDCANCEL:      // Esc and the close box
            PostQuitMessage(0);
            break;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    }
    return 0;
}

INT_PTR CALLBACK AboutDialog_Proc(HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(hwnd, IDC_ABOUT_WEB, c_AuthorWeb);
        SetDlgItemTextA(hwnd, IDC_ABOUT_MAIL, c_AuthorMail);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(hwnd, 0);
        break;
    }
    return 0;
}
