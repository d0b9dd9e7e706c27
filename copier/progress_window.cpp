// The progress window's procedure (dialog 100): publishes the window to the
// other threads, runs the 100 ms timer that closes a finished job, and
// handles Cancel, Pause/Resume, the About button and the speed slider.
#include <windows.h>
#include <commctrl.h>

#include "copy_state.h"
#include "engine.h"
#include "resource_ids.h"

enum { PROGRESS_TIMER_ID = 1, PROGRESS_TIMER_MS = 100 };

// Window thread only.  The timer runs from the first WM_NOTIFY on; the clip
// is marked running once this procedure has started it and until a pause
// stops it (PauseCopy stops it, ResumeCopy starts it again itself).
static int g_timerStarted;
static int g_clipRunning;

// WM_NOTIFY comes from the trackbar each time it paints, the first time as
// soon as the window is drawn: that is where the window becomes known.
// Restarting the timer on every paint would starve it while the window is
// repainted often (slider dragged), and reopening the clip on every paint
// would restart it from frame 0 and invalidate it again, so each is done
// once per need.
static void ProgressWindow_Notified(HWND window)
{
    CopyState.progressWindow = window;
    if (!g_timerStarted) {
        SetTimer(window, PROGRESS_TIMER_ID, PROGRESS_TIMER_MS, NULL);
        g_timerStarted = 1;
    }
    if (CopyState.paused) {
        g_clipRunning = 0;
        return;
    }
    if (g_clipRunning)
        return;
    g_clipRunning = 1;
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_OPENA, 0,
                        (LPARAM)MAKEINTRESOURCEA(IDR_COPY_CLIP));
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_PLAY, (WPARAM)-1,
                        MAKELPARAM(0, 0xFFFF));
}

// The timer found the job done: the items it left out are shown first, if
// any, and the job closes when the user has seen them.  The timer keeps
// ticking while that list is open; those ticks do nothing.
static void ProgressWindow_Finish(HWND window)
{
    static int g_finishing;
    if (g_finishing)
        return;
    g_finishing = 1;
    SkippedList_Show(window);
    CloseJob();
}

static void ProgressWindow_Command(int id)
{
    switch (id) {
    case IDC_PROGRESS_CANCEL:   // also Escape and the close box
        CloseJob();
        break;
    case IDC_PROGRESS_PAUSE:
        if (CopyState.paused)
            ResumeCopy();
        else
            PauseCopy();
        break;
    case IDC_PROGRESS_ABOUT:
        DialogBoxParamA(CopyState.appInstance, MAKEINTRESOURCEA(IDD_ABOUT),
                        NULL, AboutBoxProc, 0);
        break;
    }
}

// Returns 0 (not handled) for every message: the dialog manager does the
// rest, focus included.
INT_PTR CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY:
        ProgressWindow_Notified(window);
        break;
    case WM_COMMAND:
        ProgressWindow_Command(LOWORD(wParam));
        break;
    case WM_HSCROLL:
        // Every scroll notification of the slider, dragging included.
        if ((HWND)lParam == GetDlgItem(window, IDC_PROGRESS_SLIDER))
            SpeedLimit_SliderMoved(window);
        break;
    case WM_TIMER:
        if (CopyState.jobDone)
            ProgressWindow_Finish(window);
        break;
    case WM_DESTROY:
        CloseJob();
        break;
    }
    return 0;
}
