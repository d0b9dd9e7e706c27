// Progress window procedure (dialog 100).  PLACEHOLDER until the full window lands.
#include "copy_state.h"
#include "engine.h"
#include "resource_ids.h"

INT_PTR CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM)
{
    switch (message) {
    case WM_NOTIFY:
        CopyState.progressWindow = window;
        SetTimer(window, 1, 100, NULL);
        break;
    case WM_TIMER:
        if (CopyState.jobDone)
            CloseJob();
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROGRESS_CANCEL)
            CloseJob();
        break;
    case WM_DESTROY:
        CloseJob();
        break;
    }
    return 0;
}
