// Pause, resume and close: the three control operations over CopyState.
#include "copy_state.h"
#include "resource_ids.h"

#include <commctrl.h>

void PauseCopy(void)
{
    HWND window = CopyState.progressWindow;
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_STOP, 0, 0);
    SendDlgItemMessageA(window, IDC_PROGRESS_PAUSE, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)CopyState.resumeImage);
    SetDlgItemTextA(window, IDC_PROGRESS_PAUSE, "Resume");
    CopyState.paused = 1;
}

void ResumeCopy(void)
{
    HWND window = CopyState.progressWindow;
    SendDlgItemMessageA(window, IDC_PROGRESS_PAUSE, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)CopyState.pauseImage);
    // Opening the clip again starts it from its first frame.
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_OPENA, 0,
                        (LPARAM)MAKEINTRESOURCEA(IDR_COPY_CLIP));
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_PLAY, (WPARAM)-1,
                        MAKELPARAM(0, 0xFFFF));
    SetDlgItemTextA(window, IDC_PROGRESS_PAUSE, "Pause");
    CopyState.paused = 0;
}

void CloseJob(void)
{
    // Cancel, the finished timer and WM_DESTROY all come here; only the
    // first call does anything, so the job file is deleted once.
    if (!CopyState.jobFilePending.exchange(0))
        return;
    DeleteFileA(CopyState.jobFilePath);
    CopyState.stopRequested = 1;
    // The runner may be inside a chunk or a call on this window: give it a
    // second, then end the window anyway; the process takes it along.
    for (int i = 0; i < 10 && !CopyState.runnerEnded && !CopyState.jobDone;
         i++)
        Sleep(100);
    EndDialog(CopyState.progressWindow, 0);
}

void WaitWhilePaused(DWORD stepMs)
{
    while (CopyState.paused && !CopyState.stopRequested)
        Sleep(stepMs);
}
