// Control updates for the error and replace dialogs, which fill themselves
// from CopyState on every paint.
#include "dialog_controls.h"

#include "copy_state.h"

void DialogControls_SetText(HWND control, const char *text)
{
    char shown[COPIER_TEXT_CHARS + 32];
    shown[0] = '\0';
    GetWindowTextA(control, shown, sizeof shown);
    if (lstrcmpA(shown, text) != 0)
        SetWindowTextA(control, text);
}

void DialogControls_Enable(HWND control, BOOL enable)
{
    if (control && !IsWindowEnabled(control) != !enable)
        EnableWindow(control, enable);
}
