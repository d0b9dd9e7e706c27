// MonitorJob: the monitor thread.  Sets the progress window up, scans the
// sources for the job's size, starts the runner and then refreshes the
// window every 100 ms until the job ends.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <cwchar>

#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "formats.h"
#include "job_file.h"
#include "job_file_reader.h"
#include "progress_math.h"
#include "resource_ids.h"
#include "skipped_items.h"
#include "volume_rules.h"

// Private to the monitor thread; zero at process start.
static RATE_RINGS g_rates;
static int g_tickCount;
static DWORD g_lastRefill;      // GetTickCount of the last speed refill
static wchar_t g_lastShownSource[COPIER_TEXT_CHARS];
static wchar_t g_lastShownTarget[COPIER_TEXT_CHARS];

// Copies the source path at `*cursor` of jobBody into currentSource and
// moves `*cursor` past it.
static void Monitor_TakeSource(uint32_t *cursor)
{
    JobFile_NextSourceW(CopyState.jobBody, CopyState.jobBodySize,
                        CopyState.jobTextForm, cursor, CopyState.currentSource,
                        COPIER_PATH_CHARS);
}

static void Monitor_PlayClip(HWND window)
{
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_OPENA, 0,
                        (LPARAM)MAKEINTRESOURCEA(IDR_COPY_CLIP));
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_PLAY, (WPARAM)-1,
                        MAKELPARAM(0, 0xFFFF));
}

// A paused start ("R"): show the job's first source and target and wait
// for Resume (or Cancel) before anything is read.
static void Monitor_ReadyToResume(HWND window)
{
    SetWindowTextA(window, "Ready to resume...");
    SendDlgItemMessageA(window, IDC_PROGRESS_PAUSE, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)CopyState.resumeImage);
    // Shows the clip's first frame without running it.
    Monitor_PlayClip(window);
    SendDlgItemMessageA(window, IDC_PROGRESS_ANIMATION, ACM_STOP, 0, 0);

    uint32_t firstSource = CopyState.jobCursor;
    Monitor_TakeSource(&firstSource);
    wchar_t line[PROGRESS_LINE_CHARS];
    ProgressMath_FormatPathLine(L"From : ", CopyState.currentSource, L" ",
                                line, PROGRESS_LINE_CHARS);
    SetDlgItemTextW(window, IDC_PROGRESS_FROM, line);
    ProgressMath_FormatPathLine(L"To    : ", CopyState.targetFolder, L"", line,
                                PROGRESS_LINE_CHARS);
    SetDlgItemTextW(window, IDC_PROGRESS_TO, line);

    WaitWhilePaused(10);
}

static void Monitor_SetUp(void)
{
    size_t length = wcslen(CopyState.targetFolder);
    if (length > 0 && CopyState.targetFolder[length - 1] == L'\\')
        CopyState.targetFolder[length - 1] = L'\0';

    while (!CopyState.progressWindow)
        Sleep(1);
    HWND window = CopyState.progressWindow;

    SetWindowTextA(window, CopyState.copyMode ? "Preparing to copy..."
                                              : "Preparing to move...");

    // The Pause button's two pictures were loaded by start-up, before this
    // thread ran, because a click may show one at any time.
    HBITMAP cancelImage = LoadButtonImage(IDB_CANCEL);
    HBITMAP aboutImage = LoadButtonImage(IDB_ABOUT);
    SendDlgItemMessageA(window, IDC_PROGRESS_CANCEL, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)cancelImage);
    SendDlgItemMessageA(window, IDC_PROGRESS_ABOUT, BM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)aboutImage);

    SendDlgItemMessageA(window, IDC_PROGRESS_SLIDER, TBM_SETRANGE, FALSE,
                        MAKELPARAM(0, 20));
    SendDlgItemMessageA(window, IDC_PROGRESS_SLIDER, TBM_SETPOS, TRUE, 20);
    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                        MAKELPARAM(0, PROGRESS_BAR_RANGE));

    if (!CopyState.paused)
        SendDlgItemMessageA(window, IDC_PROGRESS_PAUSE, BM_SETIMAGE,
                            IMAGE_BITMAP, (LPARAM)CopyState.pauseImage);
    else
        Monitor_ReadyToResume(window);
}

// Counts the bytes and files of every source, unless every source is a
// same-drive move that the runner renames whole.
static void Monitor_Scan(HWND window)
{
    uint32_t firstSource = CopyState.jobCursor;
    if (ProgressMath_MoveSkipsScan(CopyState.copyMode, CopyState.jobBody,
                                   CopyState.jobBodySize, firstSource,
                                   CopyState.sourceCount,
                                   CopyState.targetFolder)) {
        SetWindowTextA(window, "(0%) Moving...");
    } else {
        for (int i = 0; i < CopyState.sourceCount; i++) {
            Monitor_TakeSource(&CopyState.jobCursor);
            CopyState.topLevel = 1;
            CopyState.scanSkippedItem = 0;
            ScanTree(CopyState.currentSource);
            // Skipped once by the user: the copy does not ask again, and
            // the item goes into the list of those left out now.
            if (CopyState.scanSkippedItem) {
                SkippedSources_Add(i);
                SkippedItems_Add(CopyState.currentSource, CopyState.errorText);
            }
        }
        SetWindowTextA(window, CopyState.copyMode ? "(0%) Copying..."
                                                  : "(0%) Moving...");
    }
    // The runner begins with the first source again.
    CopyState.jobCursor = firstSource;
}

// Shows `text` on line `id` when the engine's text changed since last time.
static void Monitor_ShowPathLine(HWND window, int id, SHARED_TEXT *shared,
                                 wchar_t *lastShown, const wchar_t *prefix)
{
    wchar_t text[COPIER_TEXT_CHARS];
    SharedText_Get(shared, text, COPIER_TEXT_CHARS);
    if (wcscmp(text, lastShown) == 0)
        return;
    wchar_t line[PROGRESS_LINE_CHARS];
    ProgressMath_FormatPathLine(prefix, text, L" ", line, PROGRESS_LINE_CHARS);
    SetDlgItemTextW(window, id, line);
    wcscpy(lastShown, text);
}

// The one-second sample: speed and time left.
static void Monitor_Sample(HWND window)
{
    uint64_t jobBytes = CopyState.jobBytes;
    uint64_t doneBytes = CopyState.doneBytes;
    ProgressMath_TakeSample(&g_rates, CopyState.windowBytes.exchange(0));

    char line[64];
    ProgressMath_FormatSpeed(&g_rates, CopyState.autoRetry, line, sizeof line);
    SetDlgItemTextA(window, IDC_PROGRESS_SPEED, line);
    if (ProgressMath_FormatTimeLeft(&g_rates, jobBytes, doneBytes,
                                    CopyState.jobFiles,
                                    CopyState.visitedEntries, line,
                                    sizeof line))
        SetDlgItemTextA(window, IDC_PROGRESS_TIMELEFT, line);
}

// One 100 ms tick of the refresh.
static void Monitor_Refresh(HWND window)
{
    uint64_t jobBytes = CopyState.jobBytes;
    uint64_t doneBytes = CopyState.doneBytes;
    int percent = ProgressMath_Percent(doneBytes, jobBytes);
    char text[64];

    SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETPOS,
                        ProgressMath_BarPosition(doneBytes, jobBytes), 0);
    ProgressMath_FormatPercent(percent, text, sizeof text);
    SetDlgItemTextA(window, IDC_PROGRESS_PERCENT, text);
    ProgressMath_FormatTitle(percent, CopyState.paused, CopyState.copyMode,
                             text, sizeof text);
    SetWindowTextA(window, text);

    Monitor_ShowPathLine(window, IDC_PROGRESS_FROM,
                         &CopyState.currentSourceText, g_lastShownSource,
                         L"From : ");
    Monitor_ShowPathLine(window, IDC_PROGRESS_TO, &CopyState.currentTargetText,
                         g_lastShownTarget, L"To    : ");

    ProgressMath_FormatBytesLeft(jobBytes, doneBytes, text, sizeof text);
    SetDlgItemTextA(window, IDC_PROGRESS_BYTESLEFT, text);

    Sleep(100);

    // The speed limit's refill, also while paused: the limit's share of the
    // time since the last refill, as a tick takes longer than its sleep
    // (a busy window thread, a loaded machine) and a fixed tenth would
    // hold the copy below its limit.  Held at the top of the range: after a
    // long pause at a high limit it would otherwise wrap to a negative
    // budget and stall the runner.
    DWORD now = GetTickCount();
    int refill = ProgressMath_Refill(CopyState.speedLimit, now - g_lastRefill);
    g_lastRefill = now;
    int budget = CopyState.throttleBudget;
    while (!CopyState.throttleBudget.compare_exchange_weak(
        budget, ProgressMath_AddBudget(budget, refill))) {
    }

    if (++g_tickCount >= PROGRESS_TICKS_PER_SAMPLE) {
        Monitor_Sample(window);
        g_tickCount = 0;
    }
}

// A job larger than the target's free space would stop near its end with
// a full disk: the user hears of it before the first byte is written, and
// may start all the same or end the job.  Returns false when the job is
// to end (a cancel was asked of the window).
static bool Monitor_FreeSpaceAllowsStart(HWND window)
{
    ULARGE_INTEGER freeBytes = {}, totalBytes = {};
    // A file system that gives no size at all (some FUSE drives report 0
    // of 0 bytes) tells nothing about its room.
    bool known = GetDiskFreeSpaceExW(
                     CopyPaths_ForApi(CopyState.targetFolder).c_str(),
                     &freeBytes, &totalBytes, NULL) &&
                 totalBytes.QuadPart > 0;
    uint64_t jobBytes = CopyState.jobBytes;
    if (CopyState.stopRequested ||
        !VolumeRules_AskAboutFreeSpace(jobBytes, known, freeBytes.QuadPart))
        return true;

    char needed[THOUSANDS_TEXT_CHARS];
    char available[THOUSANDS_TEXT_CHARS];
    FormatThousands(jobBytes, needed);
    FormatThousands(freeBytes.QuadPart, available);
    char text[400];
    wsprintfA(text,
              "The job holds %s bytes, but the target drive has only %s "
              "bytes free.\n\nPress OK to start all the same (the copy "
              "stops at the first file that no longer fits), or Cancel to end "
              "the job now.",
              needed, available);
    bool wasPaused = CopyState.paused != 0;
    PauseCopy();
    int answer = MessageBoxA(window, text, "Not Enough Free Space",
                             MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer == IDOK) {
        if (!wasPaused)
            ResumeCopy();
        return true;
    }
    // Ended as the Cancel button ends it, on the window's own thread.
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return false;
}

// "Finished", and how many items were left out when any were.
static void Monitor_ShowFinished(HWND window)
{
    int skipped = SkippedItems_Count();
    char title[64];
    if (skipped == 0)
        lstrcpyA(title, "Finished");
    else
        wsprintfA(title, skipped == 1 ? "Finished, %d item skipped"
                                      : "Finished, %d items skipped",
                  skipped);
    SetWindowTextA(window, title);
}

unsigned __stdcall MonitorJob(void *)
{
    Monitor_SetUp();
    HWND window = CopyState.progressWindow;
    Monitor_Scan(window);
    if (!Monitor_FreeSpaceAllowsStart(window))
        return 0;

    // Without the runner the job could never end; try again until it starts
    // or the user cancels.
    while (!StartThread(RunJob)) {
        if (CopyState.stopRequested)
            return 0;
        Sleep(100);
    }

    CopyState.windowBytes = 0;
    g_tickCount = 0;
    g_lastRefill = GetTickCount();
    // The monitor owns the title from set-up to "Finished", so no refresh
    // can cover the last one.  The runner raises runnerEnded before its
    // stop, so a stop read before runnerEnded is found still 0 was a
    // cancel, and CloseJob ends the window then; read the other way round,
    // the runner could end between the two reads and the job never close.
    for (;;) {
        bool stopped = CopyState.stopRequested != 0;
        if (CopyState.runnerEnded) {
            Monitor_ShowFinished(window);
            CopyState.jobDone = 1;
            // The window's timer closes a finished job; a tick posted now
            // saves waiting up to a whole period for the next one.
            PostMessageA(window, WM_TIMER, 0, 0);
            return 0;
        }
        if (stopped)
            return 0;
        Monitor_Refresh(window);
    }
}
