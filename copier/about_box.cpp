// The About box (dialog 125): the author's web and e-mail addresses.
#include <windows.h>

#include "copy_state.h"
#include "engine.h"
#include "resource_ids.h"

#define ABOUT_WEB_ADDRESS "https://tessary.example/copy"
#define ABOUT_MAIL_ADDRESS "support@tessary.example"

enum { ABOUT_TIMER_ID = 1, ABOUT_TIMER_MS = 200 };

// Sets an edit's text only when it differs: setting it repaints the edit,
// and doing that on every paint of the box would keep it painting.
static void AboutBox_SetText(HWND box, int id, const char *text)
{
    char shown[64];
    GetDlgItemTextA(box, id, shown, sizeof shown);
    if (lstrcmpA(shown, text) != 0)
        SetDlgItemTextA(box, id, text);
}

static void AboutBox_Fill(HWND box)
{
    AboutBox_SetText(box, IDC_ABOUT_WEB, ABOUT_WEB_ADDRESS);
    AboutBox_SetText(box, IDC_ABOUT_MAIL, ABOUT_MAIL_ADDRESS);
}

// Only OK ends the box; Escape (IDCANCEL) does nothing.
INT_PTR CALLBACK AboutBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        AboutBox_Fill(box);
        // The box has no owner, so it outlives the progress window's end
        // and would keep the process (and its modal loop) alive: close it
        // once the job is closed.
        SetTimer(box, ABOUT_TIMER_ID, ABOUT_TIMER_MS, NULL);
        return TRUE;
    case WM_PAINT:
        AboutBox_Fill(box);
        return FALSE;
    case WM_TIMER:
        if (!CopyState.jobFilePending)
            EndDialog(box, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_OK)
            EndDialog(box, 0);
        return TRUE;
    }
    return FALSE;
}
