// ReportError: the single way a failed file operation is reported.  Turns
// the failure into an automatic retry, an automatic skip or the error
// dialog, and tells the caller through skipCurrentFile what to do.
#include <windows.h>

#include "copier_errors.h"
#include "copy_state.h"
#include "engine.h"
#include "resource_ids.h"
#include "skipped_items.h"

enum {
    // The auto-retry button promises "every 20th second".
    AUTO_RETRY_INTERVAL_MS = 20000,
    // Retries that offer no skip while "skip all" holds would otherwise
    // follow each other without a pause and keep a core busy.
    SKIP_ALL_RETRY_PACE_MS = 1000,
    STOP_POLL_MS = 50,
    MANUAL_RETRY_POLL_MS = 20,
};

// Sleeps `totalMs` in short steps; returns false as soon as a stop is
// requested, so Cancel is not held up by a long wait.
static bool ReportError_Wait(DWORD totalMs)
{
    for (DWORD waited = 0; waited < totalMs; waited += STOP_POLL_MS) {
        if (CopyState.stopRequested)
            return false;
        Sleep(STOP_POLL_MS);
    }
    return !CopyState.stopRequested;
}

// The system's text for `errorCode`, without its line break; a code the
// system has no text for still says which code it was.
static void ReportError_SetErrorText(DWORD errorCode)
{
    const wchar_t *own = CopierErrors_Text(errorCode);
    if (own) {
        lstrcpynW(CopyState.errorText, own, COPIER_TEXT_CHARS);
        return;
    }
    wchar_t *message = NULL;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
            FORMAT_MESSAGE_ALLOCATE_BUFFER,
        NULL, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        (LPWSTR)&message, 0, NULL);
    if (length == 0 || message == NULL) {
        wsprintfW(CopyState.errorText, L"Unknown error %lu (0x%08lX).",
                  errorCode, errorCode);
        return;
    }
    lstrcpynW(CopyState.errorText, message, COPIER_TEXT_CHARS);
    LocalFree(message);
    int end = lstrlenW(CopyState.errorText);
    while (end > 0 && (CopyState.errorText[end - 1] == L'\r' ||
                       CopyState.errorText[end - 1] == L'\n' ||
                       CopyState.errorText[end - 1] == L' '))
        CopyState.errorText[--end] = L'\0';
}

static void ReportError_SetHeading(const wchar_t *pathText)
{
    const wchar_t *prefix =
        CopyState.copyMode ? L"Cannot copy " : L"Cannot move ";
    lstrcpyW(CopyState.errorHeading, prefix);
    // A copy: the caller's own path text keeps its case.
    wchar_t *path = CopyState.errorHeading + lstrlenW(prefix);
    lstrcpynW(path, pathText, COPIER_PATH_CHARS);
    LowerCaseAsciiW(path);
}

void ReportError(const wchar_t *pathText, DWORD errorCode)
{
    ReportError_SetErrorText(errorCode);
    ReportError_SetHeading(pathText);
    CopyState.dialogChoice = 0;

    // A job being cancelled asks nothing more; the caller's loop ends.
    if (CopyState.stopRequested)
        return;

    if (CopyState.autoRetry) {
        // The copy was resumed when auto-retry was chosen, so a pause seen
        // now is the user's own: it holds until Resume, as any pause does,
        // instead of being undone by the next retry.
        CopyState.skipCurrentFile = 0;
        if (ReportError_Wait(AUTO_RETRY_INTERVAL_MS))
            WaitWhilePaused(MANUAL_RETRY_POLL_MS);
        return;
    }

    if (CopyState.skipAllErrors) {
        // Where a skip is offered it is taken at once.  Where none is, the
        // caller can only retry: pace those retries instead of spinning.
        if (!CopyState.skipCurrentFile)
            ReportError_Wait(SKIP_ALL_RETRY_PACE_MS);
        return;
    }

    PauseCopy();
    DialogBoxParamW(CopyState.appInstance, MAKEINTRESOURCEW(IDD_ERROR),
                    CopyState.progressWindow, ErrorDialogProc, 0);

    if (CopyState.autoRetry) {
        // Retrying starts now; a window that read "Resume" meanwhile would
        // tell the user the copy stood still.
        ResumeCopy();
        return;
    }
    if (CopyState.dialogChoice == 1) {
        ResumeCopy();
        return;
    }
    // Manual retry: the copy stays paused until the user presses Resume
    // (then the caller retries) or cancels.
    WaitWhilePaused(MANUAL_RETRY_POLL_MS);
}

bool ReportError_Retry(const wchar_t *pathText, DWORD errorCode)
{
    if (CopyState.stopRequested)
        return false;
    CopyState.skipCurrentFile = 1;
    ReportError(pathText, errorCode);
    bool skipped = CopyState.skipCurrentFile != 0;
    CopyState.skipCurrentFile = 0;
    if (skipped && !CopyState.stopRequested)
        SkippedItems_Add(pathText, CopyState.errorText);
    return !skipped && !CopyState.stopRequested;
}
