// The setup window (dialog 100) and the About dialog (138).  Both
// procedures return 0 for every message and leave the rest to the dialog
// manager.  The setup window is ended by the quit message, which ends its
// modal loop; it never calls EndDialog itself.
#include "setup.h"
#include "setup_ids.h"

// Set at start-up when the installed copier file could be read.
bool g_installedAtStart;

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
