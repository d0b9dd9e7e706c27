// resview: shows one of tesrun.exe's dialogs filled with typical texts, the
// bitmaps on its buttons and the copy clip playing, without running a job.
// For looking at the resources (and taking screenshots of them).
//
//   resview TESRUN_EXE DIALOG_ID [paused] [SECONDS]
//
// "paused" puts the Resume picture on the Pause button and stops the clip.
// The dialog closes itself after SECONDS (default 10) or on any button.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../copier/resource_ids.h"

static HMODULE g_Resources;
static int g_ShowPaused;
static int g_Seconds = 10;

static void ResView_FillProgress(HWND dialog)
{
    SetWindowTextA(dialog, g_ShowPaused ? "(42%) Paused" : "(42%) Copying...");
    SendDlgItemMessageA(dialog, IDC_PROGRESS_CANCEL, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)LoadBitmapA(g_Resources, MAKEINTRESOURCEA(IDB_CANCEL)));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_ABOUT, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)LoadBitmapA(g_Resources, MAKEINTRESOURCEA(IDB_ABOUT)));
    int pauseButton = g_ShowPaused ? IDB_RESUME : IDB_PAUSE;
    SendDlgItemMessageA(dialog, IDC_PROGRESS_PAUSE, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)LoadBitmapA(g_Resources, MAKEINTRESOURCEA(pauseButton)));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_SLIDER, TBM_SETRANGE, FALSE, MAKELONG(0, 20));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_SLIDER, TBM_SETPOS, TRUE, g_ShowPaused ? 19 : 20);
    SetDlgItemTextA(dialog, IDC_PROGRESS_LIMIT, g_ShowPaused ? "5000 KB/Sec" : "None");
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 350));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 147, 0);
    SetDlgItemTextA(dialog, IDC_PROGRESS_PERCENT, "42 %");
    SetDlgItemTextA(dialog, IDC_PROGRESS_FROM,
                    "From : c:\\documents and settings\\all users\\reports\\annual report 1998.doc ");
    SetDlgItemTextA(dialog, IDC_PROGRESS_TO, "To    : d:\\backup\\reports\\annual report 1998.doc ");
    SetDlgItemTextA(dialog, IDC_PROGRESS_BYTESLEFT, "Bytes left : 1.234.567 KB");
    SetDlgItemTextA(dialog, IDC_PROGRESS_SPEED,
                    g_ShowPaused ? "12345 KB/Sec : Auto Retrying" : "1000 KB/Sec");
    SetDlgItemTextA(dialog, IDC_PROGRESS_TIMELEFT, "Time left : 20:34");

    // As the copier does: wParam 0 means the control's own module, which
    // is tesrun.exe since the dialog came from there.
    SendDlgItemMessageA(dialog, IDC_PROGRESS_ANIMATION, ACM_OPENA, 0,
                        (LPARAM)MAKEINTRESOURCEA(IDR_COPY_CLIP));
    SendDlgItemMessageA(dialog, IDC_PROGRESS_ANIMATION, ACM_PLAY, (WPARAM)-1,
                        MAKELPARAM(0, 0xFFFF));
    if (g_ShowPaused)
        SendDlgItemMessageA(dialog, IDC_PROGRESS_ANIMATION, ACM_STOP, 0, 0);
}

static void ResView_FillReplace(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_REPLACE_NAME, "'a rather long file name of a report.txt'");
    SetDlgItemTextA(dialog, IDC_REPLACE_EXISTSIZE, "1.234.567 Bytes");
    SetDlgItemTextA(dialog, IDC_REPLACE_EXISTDATE, "modified on March 05, 1998, 9:07:03");
    SetDlgItemTextA(dialog, IDC_REPLACE_SOURCESIZE, "123.456.789.012 Bytes");
    SetDlgItemTextA(dialog, IDC_REPLACE_SOURCEDATE, "modified on September 30, 2003, 23:59:59");
    EnableWindow(GetDlgItem(dialog, IDC_REPLACE_COPYREST), TRUE);
}

static void ResView_FillError(HWND dialog)
{
    SetWindowTextA(dialog, g_ShowPaused ? "Error Moving File" : "Error Copying File");
    SetDlgItemTextA(dialog, IDC_ERROR_HEADING,
                    g_ShowPaused
                        ? "Cannot move during creation of the folder : d:\\backup\\documents and "
                          "settings\\all users\\application data\\reports for the annual "
                          "meeting of the shareholders\\1998\\minutes and notes"
                        : "Cannot copy c:\\documents and settings\\all users\\reports\\annual report 1998.doc");
    char *message = NULL;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                       FORMAT_MESSAGE_ALLOCATE_BUFFER,
                   NULL, ERROR_SHARING_VIOLATION, 0x400, (LPSTR)&message, 0, NULL);
    SetDlgItemTextA(dialog, IDC_ERROR_TEXT, message ? message : "(no message)");
    if (message)
        LocalFree(message);
    EnableWindow(GetDlgItem(dialog, IDC_ERROR_SKIP), !g_ShowPaused);
    EnableWindow(GetDlgItem(dialog, IDC_ERROR_SKIPALL), !g_ShowPaused);
}

static void ResView_FillAbout(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_ABOUT_WEB, "http://www.tessary-copy.example.com/");
    SetDlgItemTextA(dialog, IDC_ABOUT_MAIL, "support@tessary-copy.example.com");
}

// Returns TRUE for the messages it handles, as a dialog procedure does.
static INT_PTR CALLBACK ResView_DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        switch ((int)lParam) {
        case IDD_PROGRESS: ResView_FillProgress(dialog); break;
        case IDD_REPLACE: ResView_FillReplace(dialog); break;
        case IDD_ERROR: ResView_FillError(dialog); break;
        case IDD_ABOUT: ResView_FillAbout(dialog); break;
        }
        // Away from the corner, so a screenshot shows the whole frame.
        SetWindowPos(dialog, NULL, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetTimer(dialog, 1, (UINT)g_Seconds * 1000, NULL);
        return TRUE;
    case WM_TIMER:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: resview TESRUN_EXE DIALOG_ID [paused] [SECONDS]\n");
        return 2;
    }
    for (int i = 3; i < argc; i++) {
        if (std::strcmp(argv[i], "paused") == 0)
            g_ShowPaused = 1;
        else
            g_Seconds = std::atoi(argv[i]) > 0 ? std::atoi(argv[i]) : g_Seconds;
    }
    InitCommonControls();
    // Mapped as an image, not run: its resources are all we need, and the
    // animation control finds the clip through the dialog's module.
    g_Resources = LoadLibraryExA(argv[1], NULL, DONT_RESOLVE_DLL_REFERENCES);
    if (!g_Resources) {
        std::fprintf(stderr, "resview: cannot load %s (error %lu)\n", argv[1],
                     GetLastError());
        return 1;
    }
    int dialogId = std::atoi(argv[2]);
    INT_PTR result = DialogBoxParamA(g_Resources, MAKEINTRESOURCEA(dialogId), NULL,
                                     ResView_DialogProc, (LPARAM)dialogId);
    if (result == -1) {
        std::fprintf(stderr, "resview: no dialog %d (error %lu)\n", dialogId,
                     GetLastError());
        return 1;
    }
    return 0;
}
