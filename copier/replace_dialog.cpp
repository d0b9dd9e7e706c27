// ReplaceDialogProc: the "Confirm File Replace" dialog (resource 121).  It
// shows the texts that DecideExistingTarget prepared in CopyState and leaves
// the answer in dialogChoice (and replacePolicy for the to-all answers).
#include "copy_state.h"
#include "dialog_controls.h"
#include "engine.h"
#include "resource_ids.h"

// Fills control `id` of the dialog; see DialogControls_SetText.
static void ReplaceDialog_SetText(HWND dialog, int id, const wchar_t *text)
{
    DialogControls_SetText(GetDlgItem(dialog, id), text);
}

// The sizes and dates are ASCII.
static void ReplaceDialog_SetAscii(HWND dialog, int id, const char *text)
{
    wchar_t wide[COPIER_SMALL_TEXT];
    int i = 0;
    for (; text[i] && i < COPIER_SMALL_TEXT - 1; i++)
        wide[i] = (unsigned char)text[i];
    wide[i] = L'\0';
    ReplaceDialog_SetText(dialog, id, wide);
}

static void ReplaceDialog_Fill(HWND dialog)
{
    ReplaceDialog_SetText(dialog, IDC_REPLACE_NAME, CopyState.replaceNameText);
    ReplaceDialog_SetAscii(dialog, IDC_REPLACE_EXISTSIZE,
                          CopyState.existingSizeText);
    ReplaceDialog_SetAscii(dialog, IDC_REPLACE_EXISTDATE,
                          CopyState.existingDateText);
    ReplaceDialog_SetAscii(dialog, IDC_REPLACE_SOURCESIZE,
                          CopyState.sourceSizeText);
    ReplaceDialog_SetAscii(dialog, IDC_REPLACE_SOURCEDATE,
                          CopyState.sourceDateText);
    // While the dialog is open dialogChoice still holds what the decision
    // put there: 1 when the target is smaller, so its rest can be copied.
    DialogControls_Enable(GetDlgItem(dialog, IDC_REPLACE_COPYREST),
                          CopyState.dialogChoice != 0);
}

static void ReplaceDialog_Answer(HWND dialog, int choice)
{
    CopyState.dialogChoice = choice;
    // A result that is never 0 or -1 tells the caller a button was chosen.
    EndDialog(dialog, choice + 1);
}

// Returns TRUE for the messages it handles, FALSE (0) for the others.
INT_PTR CALLBACK ReplaceDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                   LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ReplaceDialog_Fill(dialog);
        return TRUE;
    case WM_PAINT:
        ReplaceDialog_Fill(dialog);
        return FALSE;   // the dialog manager paints
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_REPLACE_YES:
            ReplaceDialog_Answer(dialog, 0);
            return TRUE;
        case IDC_REPLACE_NO:
            ReplaceDialog_Answer(dialog, 1);
            return TRUE;
        case IDC_REPLACE_COPYREST:
            // A posted command reaches us even while the button is
            // disabled: there is no rest to copy then.
            if (CopyState.dialogChoice == 0)
                return TRUE;
            ReplaceDialog_Answer(dialog, 2);
            return TRUE;
        case IDC_REPLACE_YESTOALL:
            CopyState.replacePolicy = REPLACE_ALL;
            ReplaceDialog_Answer(dialog, 0);
            return TRUE;
        case IDC_REPLACE_NOTOALL:
            CopyState.replacePolicy = REPLACE_NONE;
            ReplaceDialog_Answer(dialog, 1);
            return TRUE;
        case IDCANCEL:
            // Escape and the like: one of the five answers must be chosen.
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
