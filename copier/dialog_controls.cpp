// Control updates for the error and replace dialogs, which fill themselves
// from CopyState on every paint.
#include "dialog_controls.h"

#include <cstdlib>

#include "copy_state.h"

void DialogControls_SetText(HWND control, const wchar_t *text)
{
    // Held on the heap: a shown path may be a whole long path.
    int length = GetWindowTextLengthW(control);
    wchar_t *shown = (wchar_t *)malloc(((size_t)length + 2) * sizeof(wchar_t));
    bool same = false;
    if (shown) {
        shown[0] = L'\0';
        GetWindowTextW(control, shown, length + 1);
        same = lstrcmpW(shown, text) == 0;
        free(shown);
    }
    if (!same)
        SetWindowTextW(control, text);
}

void DialogControls_Enable(HWND control, BOOL enable)
{
    if (control && !IsWindowEnabled(control) != !enable)
        EnableWindow(control, enable);
}
