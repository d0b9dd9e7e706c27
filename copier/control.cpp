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

enum {
    CLOSE_WAIT_MS = 1000,       // longest wait for the runner's end
    CLOSE_POLL_MS = 10,         // between looks at its end flags
};

void CloseJob(void)
{
    // Cancel, the finished timer and WM_DESTROY all come here; only the
    // first call does anything, so the job file is deleted once.
    if (!CopyState.jobFilePending.exchange(0))
        return;
    DeleteFileW(CopyState.jobFilePath);
    CopyState.stopRequested = 1;
    // The runner may be inside a chunk, or waiting for this thread to handle
    // a call on the window (a picture, a text, its dialogs): the wait keeps
    // handling such calls, so the runner can end as soon as its chunk is
    // done.  After a second the window ends anyway; the process takes the
    // runner along.
    DWORD start = GetTickCount();
    while (!CopyState.runnerEnded && !CopyState.jobDone &&
           GetTickCount() - start < CLOSE_WAIT_MS) {
        MSG pending;
        PeekMessageA(&pending, NULL, 0, 0, PM_NOREMOVE);   // runs sent calls
        MsgWaitForMultipleObjects(0, NULL, FALSE, CLOSE_POLL_MS,
                                  QS_SENDMESSAGE);
    }
    EndDialog(CopyState.progressWindow, 0);
}

void WaitWhilePaused(DWORD stepMs)
{
    while (CopyState.paused && !CopyState.stopRequested)
        Sleep(stepMs);
}
