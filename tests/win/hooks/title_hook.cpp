// Test library: loaded into a copier by the hook that a test sets on the
// copier's window thread (tests/driver/title_recorder.h).  Every title given
// to the progress window is appended, as it is given, as one line to
// "titles.log" in the copier's temporary folder.  A test so sees titles
// that stand for a moment only: "Finished" lasts until the window's next
// timer tick, too short for a look from outside.
#include <windows.h>

#include "resource_ids.h"

// The progress window is the top-level dialog with the speed slider.
static bool TitleHook_IsProgressWindow(HWND window)
{
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow() &&
           GetDlgItem(window, IDC_PROGRESS_SLIDER) != NULL;
}

static void TitleHook_Append(const char *title)
{
    char path[MAX_PATH + 16];
    DWORD length = GetTempPathA(MAX_PATH, path);
    if (length == 0 || length >= MAX_PATH)
        return;
    lstrcatA(path, "titles.log");
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(log, title, (DWORD)lstrlenA(title), &written, NULL);
    WriteFile(log, "\n", 1, &written, NULL);
    CloseHandle(log);
}

// Runs on the window thread before the window sees each sent message.
extern "C" LRESULT CALLBACK TitleHook_CallWndProc(int code, WPARAM wParam,
                                                  LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && call->message == WM_SETTEXT && call->lParam &&
        TitleHook_IsProgressWindow(call->hwnd))
        TitleHook_Append((const char *)call->lParam);
    return CallNextHookEx(NULL, code, wParam, lParam);
}
