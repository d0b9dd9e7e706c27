// ScanTree: counts the bytes and files of one source before the copy
// starts, for the percentage, the bytes left and the time left.  Reads
// folder listings only; opens no file.
#include <windows.h>

#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "entry_rules.h"
#include "listing.h"

enum {
    SCAN_PAUSE_STEP_MS = 50,
};

// Reports a failed search call with a skip offered.  Returns true when the
// search is to be left: a skip answer ("skip all" gives one at once, so a
// search that keeps failing is not repeated without end) or a stop.
static bool ScanTree_GiveUp(const char *path, DWORD error)
{
    if (CopyState.stopRequested)
        return true;
    CopyState.skipCurrentFile = 1;
    ReportError(path, error);
    bool skip = CopyState.skipCurrentFile != 0;
    CopyState.skipCurrentFile = 0;
    return skip || CopyState.stopRequested;
}

void ScanTree(const char *path)
{
    bool shareRoot = CopyPaths_IsShareRoot(path);
    char pattern[COPIER_PATH_CHARS];
    // A path the system cannot take is not counted here; the copy reports
    // it when it reaches it, so the user hears of it once.
    bool fits = CopyState.topLevel && !shareRoot
        ? CopyPaths_Copy(pattern, sizeof pattern, path, COPY_PATH_SYSTEM_LIMIT)
        : CopyPaths_Join(pattern, sizeof pattern, path, "*.*",
                         COPY_PATH_SYSTEM_LIMIT);
    if (!fits)
        return;

    // The search of the dropped item itself (or of a share root's listing).
    bool itemSearch = CopyState.topLevel != 0;
    // A dragged item whose name ends with a dot or a blank would be found
    // under another name; the copy reports it, so it is not counted.
    if (itemSearch && !shareRoot &&
        EntryRules_NameUnreachable(CopyPaths_LastName(path)))
        return;
    WIN32_FIND_DATAA entry;
    LISTING_NAME name = LISTING_NAME_OK;
    HANDLE search;
    for (;;) {
        search = Listing_First(pattern, &entry, &name);
        if (search != INVALID_HANDLE_VALUE)
            break;
        if (ScanTree_GiveUp(path, GetLastError())) {
            if (itemSearch && !CopyState.stopRequested)
                CopyState.scanSkippedItem = 1;
            return;
        }
    }

    for (;;) {
        if (CopyState.stopRequested)
            break;
        bool item = !EntryRules_IsSelfOrParent(entry.cFileName);
        if (item && name != LISTING_NAME_OK) {
            // Passed over by the copy, which reports it: not counted.
        } else if (item &&
                   (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            char next[COPIER_PATH_CHARS];
            bool nextFits = true;
            if (CopyState.topLevel && !shareRoot)
                lstrcpynA(next, path, sizeof next);
            else
                nextFits = CopyPaths_Join(next, sizeof next, path,
                                          entry.cFileName,
                                          COPY_PATH_SYSTEM_LIMIT);
            CopyState.topLevel = 0;
            // A link back to a folder above it is counted once, as the
            // copy enters it once.
            TRAIL_STEP step = nextFits
                ? FolderTrail_Enter(&CopyState.scanTrail, next)
                : TRAIL_LOOP;
            if (step != TRAIL_LOOP)
                ScanTree(next);
            FolderTrail_Leave(&CopyState.scanTrail, step);
        } else {
            // Files, and the "." and ".." entries, which stay counted: the
            // time-left estimate pairs them with the runner's steps.
            CopyState.jobBytes += ((uint64_t)entry.nFileSizeHigh << 32) |
                                  entry.nFileSizeLow;
            CopyState.jobFiles++;
        }
        WaitWhilePaused(SCAN_PAUSE_STEP_MS);

        bool more = false;
        for (;;) {
            if (Listing_Next(search, &entry, &name)) {
                more = true;
                break;
            }
            DWORD error = GetLastError();
            if (error == ERROR_NO_MORE_FILES || ScanTree_GiveUp(path, error))
                break;
        }
        if (!more)
            break;
    }
    FindClose(search);
}
