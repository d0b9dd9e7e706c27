// The error dialog (dialog 124): shows ReportError's heading and system
// text and takes the user's answer: manual retry, auto-retry, skip this
// file, or skip all files with errors.  Runs on the thread that reported.
#include <windows.h>

#include "copy_state.h"
#include "dialog_controls.h"
#include "engine.h"
#include "resource_ids.h"

static void ErrorDialog_Fill(HWND dialog)
{
    DialogControls_SetText(dialog, CopyState.copyMode ? L"Error Copying File"
                                                      : L"Error Moving File");
    DialogControls_SetText(GetDlgItem(dialog, IDC_ERROR_HEADING),
                        CopyState.errorHeading);
    DialogControls_SetText(GetDlgItem(dialog, IDC_ERROR_TEXT),
                        CopyState.errorText);
    // Skipping only where the caller can pass the item over.
    BOOL skipOffered = CopyState.skipCurrentFile != 0;
    DialogControls_Enable(GetDlgItem(dialog, IDC_ERROR_SKIP), skipOffered);
    DialogControls_Enable(GetDlgItem(dialog, IDC_ERROR_SKIPALL), skipOffered);
}

// Handles a button; returns true when it ends the dialog.
static bool ErrorDialog_Command(int id)
{
    switch (id) {
    case IDC_ERROR_AUTORETRY:
        CopyState.autoRetry = 1;
        [[fallthrough]];   // otherwise a retry like the manual one
    case IDC_ERROR_RETRY:
        CopyState.dialogChoice = 0;
        CopyState.skipCurrentFile = 0;
        return true;
    case IDC_ERROR_SKIP:
    case IDC_ERROR_SKIPALL:
        // The buttons are disabled where no skip is offered; a command that
        // arrives anyway must not pass over what the caller cannot skip.
        if (!CopyState.skipCurrentFile)
            return false;
        if (id == IDC_ERROR_SKIPALL)
            CopyState.skipAllErrors = 1;
        CopyState.dialogChoice = 1;
        CopyState.skipCurrentFile = 1;
        return true;
    }
    // IDCANCEL (Escape, Alt+F4): one of the buttons must be chosen.
    return false;
}

INT_PTR CALLBACK ErrorDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                 LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ErrorDialog_Fill(dialog);
        return TRUE;
    case WM_PAINT:
        ErrorDialog_Fill(dialog);
        return FALSE;   // the dialog manager paints and validates
    case WM_COMMAND:
        if (ErrorDialog_Command(LOWORD(wParam)))
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
