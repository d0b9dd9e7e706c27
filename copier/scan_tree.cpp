// ScanTree: counts the bytes and files of one source before the copy
// starts, for the percentage, the bytes left and the time left.  Reads
// folder listings only; opens no file.
#include <windows.h>

#include <string>

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
static bool ScanTree_GiveUp(const wchar_t *path, DWORD error)
{
    if (CopyState.stopRequested)
        return true;
    CopyState.skipCurrentFile = 1;
    ReportError(path, error);
    bool skip = CopyState.skipCurrentFile != 0;
    CopyState.skipCurrentFile = 0;
    return skip || CopyState.stopRequested;
}

void ScanTree(const wchar_t *path)
{
    bool shareRoot = CopyPaths_IsShareRoot(path);
    // The search of the dropped item itself (or of a share root's listing).
    bool itemSearch = CopyState.topLevel != 0;
    std::wstring pattern = path;
    if (!itemSearch || shareRoot)
        pattern += L"\\*";
    // A path the system cannot take is not counted here; the copy reports
    // it when it reaches it, so the user hears of it once.
    if (pattern.size() >= COPY_PATH_SYSTEM_LIMIT)
        return;

    WIN32_FIND_DATAW entry;
    HANDLE search;
    for (;;) {
        search = Listing_First(pattern.c_str(), &entry);
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
        if (item && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            std::wstring next;
            bool nextFits = true;
            if (CopyState.topLevel && !shareRoot)
                next = path;
            else
                nextFits = CopyPaths_Join(&next, path, entry.cFileName);
            CopyState.topLevel = 0;
            // A link back to a folder above it is counted once, as the
            // copy enters it once.
            TRAIL_STEP step = nextFits
                ? FolderTrail_Enter(&CopyState.scanTrail, next.c_str())
                : TRAIL_LOOP;
            if (step != TRAIL_LOOP)
                ScanTree(next.c_str());
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
            if (Listing_Next(search, &entry)) {
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
