// The "Items Skipped" window (dialog 126): what a finished job left out,
// each item with its reason, before the progress window closes.  The text
// can be selected and copied, or copied whole with "&Copy List"; a text
// file beside the job file holds it until the window is closed.
#include <windows.h>

#include <cwchar>
#include <string>

#include "copy_state.h"
#include "engine.h"
#include "resource_ids.h"
#include "skipped_items.h"

static wchar_t g_listPath[COPIER_PATH_CHARS];
static bool g_listWritten;

// Puts the whole list on the clipboard as text.
static void SkippedList_Copy(HWND dialog)
{
    const wchar_t *text = SkippedItems_Text();
    size_t size = (wcslen(text) + 1) * sizeof(wchar_t);
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
    if (!SetClipboardData(CF_UNICODETEXT, memory))
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
    SetDlgItemTextW(dialog, IDC_SKIPPED_LIST, SkippedItems_Text());
    std::wstring note = g_listWritten
        ? std::wstring(L"This list is also kept in ") + g_listPath +
              L" until this window is closed."
        : std::wstring(L"This list could not be kept in a file.");
    SetDlgItemTextW(dialog, IDC_SKIPPED_FILE, note.c_str());
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
    DialogBoxParamW(CopyState.appInstance, MAKEINTRESOURCEW(IDD_SKIPPED), owner,
                    SkippedList_Proc, 0);
    if (g_listWritten)
        DeleteFileW(g_listPath);
}
