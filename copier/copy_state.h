// CopyState: the copier's one process-wide record, shared without locks by
// the window thread, the monitor thread (MonitorJob) and the runner thread
// (RunJob).  Every field has fixed writers; the others poll it.  Fields that
// one thread writes while another reads them are std::atomic.
//
// Threads and their fields:
//   window thread  - start-up (job fields), progress window, slider, buttons,
//                    PauseCopy/ResumeCopy from the button, CloseJob
//   monitor thread - MonitorJob, ScanTree (jobBytes, jobFiles), ReportError
//                    during the scan
//   runner thread  - RunJob, CopyTree, the replace and error dialogs
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "ascii_case.h"
#include "file_identity.h"

enum {
    // A whole path of any length the W functions take, with its NUL.
    COPIER_PATH_CHARS = 32768,
    // Display texts of the From and To lines: the start of a path, in
    // quotes; the line shows no more.
    COPIER_TEXT_CHARS = 1100,
    COPIER_SMALL_TEXT = 64,     // sizes and dates of the replace dialog
    TRANSFER_BUFFER_SIZE = 1000000,
    REPLACE_ASK = -1,           // replacePolicy values
    REPLACE_NONE = 0,
    REPLACE_ALL = 1,
};

// A display text written by one thread and shown by another.  The writer
// bumps `sequence` to odd, writes, bumps it to even; a reader copies the
// text whole and tries again if the sequence moved, so it never shows half
// of one path and half of the next.
struct SHARED_TEXT {
    std::atomic<unsigned> sequence;
    wchar_t text[COPIER_TEXT_CHARS];
};

void SharedText_Set(SHARED_TEXT *shared, const wchar_t *text);
void SharedText_Get(SHARED_TEXT *shared, wchar_t *out, size_t outSize);

struct COPY_STATE {
    // Job, set by start-up before the other threads run.
    wchar_t jobFilePath[COPIER_PATH_CHARS];
    uint8_t *jobBody;             // the file after its 8 header bytes
    uint32_t jobBodySize;         // bytes in jobBody (checked at start-up)
    int jobTextForm;              // JOB_TEXT_UTF8 or JOB_TEXT_ANSI
    int copyMode;                 // 1 copy, 0 move
    // Started paused with "R" (by the resume scan at logon): only such a
    // run continues a "Copy of" that an earlier run of the job left cut
    // short; a fresh job never writes into an existing "Copy of".
    int relaunchedJob;
    int sourceCount;
    wchar_t targetFolder[COPIER_PATH_CHARS];
    uint32_t jobCursor;           // offset in jobBody of the next source path
    wchar_t currentSource[COPIER_PATH_CHARS];
    uint8_t *transferBuffer;      // TRANSFER_BUFFER_SIZE bytes
    // One bit per source: set by the monitor for a dropped item whose own
    // search the user skipped while the job was counted, so the runner
    // passes it over instead of asking about it a second time.
    uint8_t *skippedSources;
    int scanSkippedItem;          // monitor thread: ScanTree's answer for it
    std::atomic<int> chunkSize;   // never above TRANSFER_BUFFER_SIZE
    HINSTANCE appInstance;

    // Window.  The two pictures are loaded by start-up before any other
    // thread runs, so every thread may read them without a lock.
    std::atomic<HWND> progressWindow;   // 0 until the window publishes itself
    HBITMAP pauseImage;
    HBITMAP resumeImage;

    // Control flags.
    std::atomic<int> paused;
    std::atomic<int> stopRequested;     // only ever goes from 0 to 1
    std::atomic<int> runnerEnded;
    std::atomic<int> jobDone;
    std::atomic<int> jobFilePending;    // 1 until CloseJob has run
    std::atomic<int> topLevel;

    // Progress counters.
    std::atomic<uint64_t> jobBytes;
    std::atomic<int> jobFiles;
    std::atomic<uint64_t> doneBytes;
    std::atomic<int> visitedEntries;
    std::atomic<int64_t> windowBytes;   // taken and reset by one exchange
    std::atomic<int> speedLimit;        // bytes per second, 0 = none
    std::atomic<int> throttleBudget;

    // From and To lines, set by the engine, shown by the monitor.
    SHARED_TEXT currentSourceText;
    SHARED_TEXT currentTargetText;

    // Existing-target decisions and the replace dialog (runner thread).
    int replacePolicy;                  // REPLACE_ASK, REPLACE_NONE, REPLACE_ALL
    int dialogChoice;
    wchar_t replaceNameText[COPIER_PATH_CHARS];
    char existingSizeText[COPIER_SMALL_TEXT];
    char sourceSizeText[COPIER_SMALL_TEXT];
    char existingDateText[COPIER_SMALL_TEXT];
    char sourceDateText[COPIER_SMALL_TEXT];

    // Error reporting (monitor thread during the scan, runner afterwards).
    std::atomic<int> skipAllErrors;
    std::atomic<int> skipCurrentFile;
    std::atomic<int> autoRetry;         // also read by the monitor
    wchar_t errorHeading[COPIER_PATH_CHARS + 64];
    wchar_t errorText[COPIER_TEXT_CHARS];

    // Engine's per-entry state (runner thread only).
    int sameFolder;
    int copyOfCounter;
    int resumedFile;
    uint64_t resumeOffset;
    // Folders entered through a link (symbolic link or junction) above the
    // current entry: their contents are copied, but a move deletes nothing
    // there, since what lies behind a link is not part of the selection.
    int linkDepth;
    // The folders above the one being listed, against link loops: one
    // trail for the scan (monitor thread), one for the copy (runner).
    FOLDER_TRAIL scanTrail;
    FOLDER_TRAIL copyTrail;

    // The target volume, looked at once by the runner before its first
    // source: its file system's name (FAT holds no file of 4 GiB) and the
    // step in which it keeps last-write times, from that name or learned
    // from the first time set on a copy and read back.
    char targetFileSystem[MAX_PATH + 1];     // ASCII, as the system names it
    uint64_t targetTimeStep;
    int targetTimeStepKnown;
};

extern COPY_STATE CopyState;

// Sets every field to its starting value (paused 0, copyMode 1,
// replacePolicy -1, jobFilePending 1, topLevel 1, chunkSize 1,000,000...).
void CopyState_Reset(void);

// Pause and resume: the flag plus the Pause button's picture and caption and
// the animation.  Safe from any thread; the control calls complete when the
// window thread handles them.
void PauseCopy(void);
void ResumeCopy(void);

// Deletes the job file once, asks every loop to stop, waits up to a second
// for the runner and ends the progress window.  Window thread only.
void CloseJob(void);

// Sleeps in steps of `stepMs` while `paused` is 1 and no stop is requested.
void WaitWhilePaused(DWORD stepMs);

// The mark of source `index` (0 = first) in skippedSources.
bool SkippedSources_Has(int index);
void SkippedSources_Add(int index);

