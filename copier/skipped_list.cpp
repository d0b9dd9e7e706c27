// The "Items Skipped" window (dialog 126): what a finished job left out,
// each item with its reason, before the progress window closes.  The text
// can be selected and copied, or copied whole with "&Copy List"; a text
// file beside the job file holds it until the window is closed.
#include <windows.h>

#include <cstring>

#include "copy_state.h"
#include "engine.h"
#include "resource_ids.h"
#include "skipped_items.h"

enum { SKIPPED_NOTE_CHARS = MAX_PATH + 200 };

static char g_listPath[MAX_PATH + 32];
static bool g_listWritten;

// Puts the whole list on the clipboard as text.
static void SkippedList_Copy(HWND dialog)
{
    const char *text = SkippedItems_Text();
    size_t size = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return;
    memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    if (!OpenClipboard(dialog)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_TEXT, memory))
        GlobalFree(memory);
    CloseClipboard();
}

static void SkippedList_Fill(HWND dialog)
{
    int count = SkippedItems_Count();
    char intro[128];
    wsprintfA(intro,
              count == 1 ? "%d item was left out of this job:"
                         : "%d items were left out of this job:",
              count);
    SetDlgItemTextA(dialog, IDC_SKIPPED_INTRO, intro);
    SetDlgItemTextA(dialog, IDC_SKIPPED_LIST, SkippedItems_Text());
    char note[SKIPPED_NOTE_CHARS];
    if (g_listWritten)
        wsprintfA(note, "This list is also kept in %s until this window is "
                        "closed.",
                  g_listPath);
    else
        lstrcpyA(note, "This list could not be kept in a file.");
    SetDlgItemTextA(dialog, IDC_SKIPPED_FILE, note);
}

// Returns TRUE for the messages it handles.
static INT_PTR CALLBACK SkippedList_Proc(HWND dialog, UINT message,
                                         WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SkippedList_Fill(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SKIPPED_COPY:
            SkippedList_Copy(dialog);
            return TRUE;
        case IDOK:
        case IDCANCEL:      // Escape and the close box: seen all the same
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void SkippedList_Show(HWND owner)
{
    if (SkippedItems_Count() == 0)
        return;
    g_listWritten = SkippedItems_WriteFile(CopyState.jobFilePath, g_listPath);
    DialogBoxParamA(CopyState.appInstance, MAKEINTRESOURCEA(IDD_SKIPPED), owner,
                    SkippedList_Proc, 0);
    if (g_listWritten)
        DeleteFileA(g_listPath);
}
