// Control updates for dialogs that refill themselves on every paint.
#pragma once

#include <windows.h>

// Sets a control's text only when it differs: setting a text repaints the
// control, and a dialog that fills itself on WM_PAINT must not paint again.
void DialogControls_SetText(HWND control, const wchar_t *text);

// Enables or disables a control only when its state differs, for the same
// reason.
void DialogControls_Enable(HWND control, BOOL enable);
