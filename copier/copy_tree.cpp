// CopyTree: copies or moves one source (a file, a folder with everything
// below it, or a \\server\share) into a target folder, file by file in
// chunks through the one transfer buffer, so that a copy can be paused,
// throttled, stopped at any chunk and continued later where it stopped.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "existing_target.h"
#include "listing.h"

enum {
    COPY_PAUSE_STEP_MS = 50,
};

// One listing of a folder (or the single-item search of a dragged item).
// `delivered` and `gone` let a listing whose handle went bad be reopened
// at the entry where it stood: entries handled and still present are
// stepped over, entries this run deleted or removed are no longer there.
struct COPY_SEARCH {
    HANDLE handle;
    char pattern[COPIER_PATH_CHARS];
    bool listing;                 // "%s\*.*" rather than the item itself
    int delivered;                // entries the search has returned
    int gone;                     // of those, deleted or removed by the move
    bool nameLost;                // the entry's name has no exact ANSI form
};

static bool CopyTree_Stopped(void)
{
    return CopyState.stopRequested != 0;
}

static void CopyTree_SetQuoted(SHARED_TEXT *shared, const char *path)
{
    char text[COPIER_TEXT_CHARS];
    snprintf(text, sizeof text, "\"%s\"", path);
    SharedText_Set(shared, text);
}

// Reports a failure with a skip offered.  Returns true when the user asked
// for another try (and the job goes on); a skip is consumed here, so the
// next report offers a skip only where its caller says so.
static bool CopyTree_AskRetry(const char *shown, DWORD error)
{
    CopyState.skipCurrentFile = 1;
    ReportError(shown, error);
    bool skipped = CopyState.skipCurrentFile != 0;
    CopyState.skipCurrentFile = 0;
    return !skipped && !CopyTree_Stopped();
}

// A path the system cannot take: reported with a skip offered.  Whatever
// the answer, the item is passed over: trying the same name again can only
// fail the same way.
static void CopyTree_ReportTooLong(const char *shownPath)
{
    CopyTree_AskRetry(shownPath, ERROR_FILENAME_EXCED_RANGE);
}

// Shows `folder` + "\" + `name` in a report even when it may not be used.
static void CopyTree_ReportTooLongJoin(const char *folder, const char *name)
{
    char shown[COPIER_PATH_CHARS];
    snprintf(shown, sizeof shown, "%s\\%s", folder, name);
    CopyTree_ReportTooLong(shown);
}

// An entry whose name the ANSI code page cannot hold: copying it under the
// converted name would write another name, or replace another file.  It is
// reported with a skip offered and passed over whatever the answer; its
// source stays.
static void CopyTree_ReportLostName(const char *sourcePath, bool itself,
                                    const WIN32_FIND_DATAA *entry)
{
    char shown[COPIER_PATH_CHARS];
    if (itself)
        lstrcpynA(shown, sourcePath, sizeof shown);
    else
        snprintf(shown, sizeof shown, "%s\\%s", sourcePath, entry->cFileName);
    CopyTree_AskRetry(shown, ERROR_NO_UNICODE_TRANSLATION);
}

// Move mode outside any folder reached through a link: only there does a
// copied source go.
bool CopyTree_MovesSources(void)
{
    return CopyState.copyMode == 0 && CopyState.linkDepth == 0;
}

// A folder that cannot be created (an invalid name, a parent that refuses
// new folders) may never become creatable, and every file below it would
// fail in turn: the user may skip the folder with all it holds, and its
// source stays.  Returns true when the creation is to be tried again.
static bool CopyTree_RetryFolderCreation(const char *folderPath, DWORD error)
{
    if (CopyTree_Stopped())
        return false;
    char text[COPIER_TEXT_CHARS];
    snprintf(text, sizeof text, "During creation of the folder : %s",
             folderPath);
    return CopyTree_AskRetry(text, error);
}

// One attempt to delete a moved source.  A read-only source refuses
// deletion until its attribute is cleared.  Some file systems answer TRUE
// and keep the file (an immutable one): only a file that is gone counts.
static DWORD CopyTree_TryDelete(const char *sourcePath, DWORD attributes)
{
    BOOL deleted = DeleteFileA(sourcePath);
    DWORD error = deleted ? NO_ERROR : GetLastError();
    if (error == ERROR_ACCESS_DENIED &&
        (attributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesA(sourcePath, FILE_ATTRIBUTE_NORMAL)) {
        deleted = DeleteFileA(sourcePath);
        error = deleted ? NO_ERROR : GetLastError();
    }
    if (deleted && GetFileAttributesA(sourcePath) != INVALID_FILE_ATTRIBUTES)
        error = ERROR_ACCESS_DENIED;
    return error;
}

// Move mode: deletes the source of a finished copy.  A source another
// program holds open would otherwise stay behind unnoticed, so a failure
// goes to the error dialog: retry, or skip and keep the source.  Returns
// true when the source is gone.
static bool CopyTree_DeleteSource(const char *sourcePath, DWORD attributes)
{
    for (;;) {
        DWORD error = CopyTree_TryDelete(sourcePath, attributes);
        if (error == NO_ERROR || error == ERROR_FILE_NOT_FOUND)
            return error == NO_ERROR;
        if (CopyTree_Stopped())
            return false;
        if (!CopyTree_AskRetry(sourcePath, error))
            return false;
    }
}

static void CopyTree_SetTimes(HANDLE target, const WIN32_FIND_DATAA *entry)
{
    SetFileTime(target, &entry->ftCreationTime, &entry->ftLastAccessTime,
                &entry->ftLastWriteTime);
}

// A new target file, given the source's attributes at its creation.
static HANDLE CopyTree_CreateNew(const char *targetPath,
                                 const WIN32_FIND_DATAA *entry)
{
    return CreateFileA(targetPath, GENERIC_WRITE, FILE_SHARE_WRITE, NULL,
                       CREATE_NEW, entry->dwFileAttributes, NULL);
}

// A target that cannot be created (an invalid name, a folder that refuses
// new files) may never become creatable: the user may skip it, and its
// source stays.  Returns true when the creation is to be tried again.
static bool CopyTree_RetryCreate(const char *targetPath, DWORD error)
{
    if (CopyTree_Stopped())
        return false;
    return CopyTree_AskRetry(targetPath, error);
}

// A copy into its own folder that was killed left its "Copy of" name cut
// short: a relaunch continues the newest such name (the last one taken
// before the first free one) when it is a verified partial copy, instead
// of leaving it truncated and drawing a new name.
static HANDLE CopyTree_ContinueCopyOf(char *targetPath,
                                      const char *targetFolder,
                                      const WIN32_FIND_DATAA *entry,
                                      HANDLE source)
{
    char candidate[COPIER_PATH_CHARS];
    char newest[COPIER_PATH_CHARS];
    int newestCounter = -1;
    for (int counter = 0;; counter++) {
        if (!CopyPaths_CopyOfName(candidate, sizeof candidate, targetFolder,
                                  entry->cFileName, counter,
                                  COPY_PATH_SYSTEM_LIMIT) ||
            GetFileAttributesA(candidate) == INVALID_FILE_ATTRIBUTES)
            break;
        lstrcpynA(newest, candidate, sizeof newest);
        newestCounter = counter;
    }
    if (newestCounter < 0)
        return INVALID_HANDLE_VALUE;
    HANDLE target = ContinuePartialTarget(newest, entry, source);
    if (target != INVALID_HANDLE_VALUE) {
        lstrcpynA(targetPath, newest, COPIER_PATH_CHARS);
        CopyState.copyOfCounter = newestCounter + 1;
    }
    return target;
}

// Creates the target of a file dropped into its own folder under the first
// free "Copy of" name; `targetPath` receives that name.
static HANDLE CopyTree_CreateCopyOf(char *targetPath, const char *targetFolder,
                                    const WIN32_FIND_DATAA *entry,
                                    HANDLE source)
{
    HANDLE resumed =
        CopyTree_ContinueCopyOf(targetPath, targetFolder, entry, source);
    if (resumed != INVALID_HANDLE_VALUE)
        return resumed;
    for (;;) {
        if (!CopyPaths_CopyOfName(targetPath, COPIER_PATH_CHARS, targetFolder,
                                  entry->cFileName, CopyState.copyOfCounter,
                                  COPY_PATH_SYSTEM_LIMIT)) {
            CopyTree_ReportTooLongJoin(targetFolder, entry->cFileName);
            return INVALID_HANDLE_VALUE;
        }
        CopyState.copyOfCounter++;
        HANDLE target = CopyTree_CreateNew(targetPath, entry);
        if (target != INVALID_HANDLE_VALUE)
            return target;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            continue;
        if (!CopyTree_RetryCreate(targetPath, error))
            return INVALID_HANDLE_VALUE;
        CopyState.copyOfCounter--;    // try the same name again
    }
}

// Creates the target file, or lets the existing-target decision open it.
// Returns INVALID_HANDLE_VALUE when the file is to be passed over;
// `verifiedComplete` then tells whether it was a complete copy whose bytes
// were compared equal (move mode).
static HANDLE CopyTree_OpenTarget(char *targetPath, const char *targetFolder,
                                  const WIN32_FIND_DATAA *entry, HANDLE source,
                                  bool *verifiedComplete)
{
    *verifiedComplete = false;
    for (;;) {
        HANDLE target = CopyTree_CreateNew(targetPath, entry);
        if (target != INVALID_HANDLE_VALUE)
            return target;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS &&
            CopyState.topLevel && CopyState.sameFolder)
            return CopyTree_CreateCopyOf(targetPath, targetFolder, entry,
                                         source);
        if (error == ERROR_FILE_EXISTS)
            return DecideExistingTarget(targetPath, entry, source,
                                        verifiedComplete);
        if (!CopyTree_RetryCreate(targetPath, error))
            return INVALID_HANDLE_VALUE;
    }
}

// A failure while opening, reading or writing a file, with a skip offered.
// Returns true when the file is to be tried again: its target now exists
// and is continued from its present size without counting that part twice.
static bool CopyTree_RetryFile(const char *path, DWORD error)
{
    if (CopyTree_Stopped())
        return false;
    if (!CopyTree_AskRetry(path, error))
        return false;
    CopyState.resumedFile = 1;
    return true;
}

// Copies one file.  Returns true when its source was deleted (move mode).
static bool CopyTree_CopyFile(const char *sourcePath, const char *targetFolder,
                              const WIN32_FIND_DATAA *entry)
{
    char targetPath[COPIER_PATH_CHARS];
    if (!CopyPaths_Join(targetPath, sizeof targetPath, targetFolder,
                        entry->cFileName, COPY_PATH_SYSTEM_LIMIT)) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLongJoin(targetFolder, entry->cFileName);
        return false;
    }
    CopyTree_SetQuoted(&CopyState.currentTargetText, targetPath);
    CopyState.resumedFile = 0;

    for (;;) {
        // Start, and the point a retried error comes back to.
        CopyState.resumeOffset = 0;
        CopyState.copyOfCounter = 0;
        CopyState.sameFolder = strcmp(targetPath, CopyState.currentSource) == 0;

        // The source first: one that cannot be opened must leave an
        // existing target exactly as it was (a replace would already have
        // cut it to nothing) and no new empty file behind.
        HANDLE source = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ,
                                    NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    NULL);
        if (source == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            int resumed = CopyState.resumedFile;
            if (!CopyTree_RetryFile(sourcePath, error)) {
                CopyState.topLevel = 0;
                return false;
            }
            CopyState.resumedFile = resumed;    // nothing was written
            continue;
        }

        bool verifiedComplete;
        HANDLE target = CopyTree_OpenTarget(targetPath, targetFolder, entry,
                                            source, &verifiedComplete);
        CopyState.topLevel = 0;
        if (target == INVALID_HANDLE_VALUE) {
            CloseHandle(source);
            // Move mode: a complete copy, compared equal, lets the source go
            // (a move relaunched after a kill ends with every source gone).
            if (verifiedComplete && CopyTree_MovesSources() &&
                !CopyTree_Stopped())
                return CopyTree_DeleteSource(sourcePath,
                                             entry->dwFileAttributes);
            return false;
        }
        if (CopyState.copyOfCounter > 0)     // written under a "Copy of" name
            CopyTree_SetQuoted(&CopyState.currentTargetText, targetPath);
        if (CopyTree_Stopped()) {
            CloseHandle(source);
            CloseHandle(target);
            return false;
        }

        LONG offsetHigh = (LONG)(CopyState.resumeOffset >> 32);
        SetFilePointer(source, (LONG)(CopyState.resumeOffset & 0xFFFFFFFFu),
                       &offsetHigh, FILE_BEGIN);

        DWORD failure = 0;
        const char *failedPath = NULL;
        for (;;) {
            DWORD asked = (DWORD)CopyState.chunkSize.load();
            if (asked == 0 || asked > TRANSFER_BUFFER_SIZE)
                asked = TRANSFER_BUFFER_SIZE;
            DWORD got = 0;
            if (!ReadFile(source, CopyState.transferBuffer, asked, &got, NULL)) {
                failure = GetLastError();
                failedPath = sourcePath;
                break;
            }
            // The speed limit: may wait here until the monitor's refill
            // covers the bytes just read.
            if (CopyState.speedLimit != 0)
                Throttle((int)got);
            DWORD wrote = 0;
            BOOL written = WriteFile(target, CopyState.transferBuffer, got,
                                     &wrote, NULL);
            if (!written || wrote != got) {
                // A disk file that takes fewer bytes than given is full.
                failure = written ? ERROR_DISK_FULL : GetLastError();
                CopyState.doneBytes += wrote;
                CopyState.windowBytes += (int)wrote;
                failedPath = targetPath;
                break;
            }
            CopyState.doneBytes += wrote;
            CopyState.windowBytes += (int)wrote;
            if (wrote != asked)
                break;          // the short read that ends every file
            // A copier that is killed or loses power closes nothing: the
            // target must bear the source's times between chunks already,
            // or the next run would take it for a foreign file and ask.
            CopyTree_SetTimes(target, entry);
            WaitWhilePaused(COPY_PAUSE_STEP_MS);
            if (CopyTree_Stopped())
                break;
        }

        if (failedPath != NULL) {
            // A partial target bears the source's times, so that a later
            // pass recognises it as a copy to be continued.
            CopyTree_SetTimes(target, entry);
            CloseHandle(source);
            CloseHandle(target);
            if (!CopyTree_RetryFile(failedPath, failure))
                return false;
            continue;
        }

        bool moving = CopyTree_MovesSources() && !CopyTree_Stopped();
        // Move mode: the source goes only once its copy is on the disk.
        bool safe = !moving || FlushFileBuffers(target);
        CopyTree_SetTimes(target, entry);
        CloseHandle(source);
        if (!CloseHandle(target))
            safe = false;
        if (moving && safe && !CopyTree_Stopped())
            return CopyTree_DeleteSource(sourcePath, entry->dwFileAttributes);
        return false;
    }
}

// Creates the target folder for a folder entry into `folderPath`: a new
// folder, the "Copy of" folder of one dropped into its own parent, or an
// existing one to merge into.  Returns false when the folder is passed
// over: its path is too long, the user skipped it, or the job stopped.
static bool CopyTree_MakeFolder(char *folderPath, const char *targetFolder,
                                const WIN32_FIND_DATAA *entry)
{
    CopyState.copyOfCounter = 0;
    if (!CopyPaths_Join(folderPath, COPIER_PATH_CHARS, targetFolder,
                        entry->cFileName, COPY_PATH_SYSTEM_LIMIT)) {
        CopyTree_ReportTooLongJoin(targetFolder, entry->cFileName);
        return false;
    }
    CopyState.sameFolder = strcmp(folderPath, CopyState.currentSource) == 0;
    for (;;) {
        if (CreateDirectoryA(folderPath, NULL))
            return true;
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS && CopyState.topLevel &&
            CopyState.sameFolder) {
            for (;;) {
                if (!CopyPaths_CopyOfName(folderPath, COPIER_PATH_CHARS,
                                          targetFolder, entry->cFileName,
                                          CopyState.copyOfCounter,
                                          COPY_PATH_SYSTEM_LIMIT)) {
                    CopyTree_ReportTooLongJoin(targetFolder, entry->cFileName);
                    return false;
                }
                CopyState.copyOfCounter++;
                if (CreateDirectoryA(folderPath, NULL))
                    return true;
                error = GetLastError();
                if (error != ERROR_ALREADY_EXISTS)
                    break;
            }
        } else if (error == ERROR_ALREADY_EXISTS) {
            return true;            // merged into the existing folder
        }
        if (!CopyTree_RetryFolderCreation(folderPath, error))
            return false;
    }
}

// Handles a folder entry.  Returns true when the move removed its source.
static bool CopyTree_CopyFolder(const char *sourcePath, bool shareRoot,
                                const char *targetFolder,
                                const WIN32_FIND_DATAA *entry)
{
    char folderPath[COPIER_PATH_CHARS];
    char descentSource[COPIER_PATH_CHARS];
    bool itself = CopyState.topLevel && !shareRoot;
    if (itself) {
        lstrcpynA(descentSource, sourcePath, sizeof descentSource);
    } else if (!CopyPaths_Join(descentSource, sizeof descentSource, sourcePath,
                               entry->cFileName, COPY_PATH_SYSTEM_LIMIT)) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLongJoin(sourcePath, entry->cFileName);
        return false;
    }
    if (!CopyTree_MakeFolder(folderPath, targetFolder, entry)) {
        CopyState.topLevel = 0;
        return false;
    }
    CopyState.topLevel = 0;
    // A symbolic link or junction: its contents are copied, but what lies
    // behind it is not the user's selection, so a move deletes nothing
    // there and the link itself stays.
    bool link = (entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (link)
        CopyState.linkDepth++;
    CopyTree(descentSource, folderPath);
    if (link) {
        CopyState.linkDepth--;
        return false;
    }
    if (CopyTree_MovesSources() && !CopyTree_Stopped())
        return RemoveDirectoryA(descentSource) != 0;
    return false;
}

// Opens the search; on failure reports with a skip offered.  Returns false
// when the item or folder is passed over (or the job stopped).
static bool CopyTree_OpenSearch(const char *sourcePath, COPY_SEARCH *search,
                                WIN32_FIND_DATAA *entry)
{
    for (;;) {
        search->handle = Listing_First(search->pattern, entry,
                                       &search->nameLost);
        if (search->handle != INVALID_HANDLE_VALUE) {
            search->delivered = 1;
            search->gone = 0;
            return true;
        }
        DWORD error = GetLastError();
        if (CopyTree_Stopped())
            return false;
        if (!CopyTree_AskRetry(sourcePath, error))
            return false;
    }
}

// The listing's handle went bad: open it again and step over the entries
// already handled that are still there, so that no entry is lost or done
// twice.  Returns false when nothing is left (or the job stopped).
static bool CopyTree_ReopenListing(const char *sourcePath, COPY_SEARCH *search,
                                   WIN32_FIND_DATAA *entry)
{
    if (!search->listing)
        return false;       // the single item was handled already
    int handled = search->delivered - search->gone;
    for (;;) {
        if (!CopyTree_OpenSearch(sourcePath, search, entry))
            return false;
        int stepped = 1;
        while (stepped <= handled &&
               Listing_Next(search->handle, entry, &search->nameLost))
            stepped++;
        if (stepped > handled) {
            search->delivered = handled + 1;
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_INVALID_HANDLE)     // a bad handle is not closed
            FindClose(search->handle);
        search->handle = INVALID_HANDLE_VALUE;
        if (error == ERROR_NO_MORE_FILES || CopyTree_Stopped())
            return false;
        if (error != ERROR_INVALID_HANDLE) {
            if (!CopyTree_AskRetry(sourcePath, error))
                return false;
        }
        // Start once more and step over the same entries.
    }
}

// Steps to the next entry.  Returns false at the end of the listing, on a
// stop, or when the rest of the folder is given up; the search is closed.
static bool CopyTree_NextEntry(const char *sourcePath, COPY_SEARCH *search,
                               WIN32_FIND_DATAA *entry)
{
    for (;;) {
        BOOL found = Listing_Next(search->handle, entry, &search->nameLost);
        CopyState.visitedEntries++;
        if (found) {
            search->delivered++;
            return true;
        }
        DWORD error = GetLastError();
        if (error == ERROR_NO_MORE_FILES)
            break;
        if (error == ERROR_INVALID_HANDLE) {
            search->handle = INVALID_HANDLE_VALUE;
            if (CopyTree_ReopenListing(sourcePath, search, entry))
                return true;
            return false;
        }
        if (CopyTree_Stopped())
            break;
        // A skip is offered so that "skip all" gives up a listing that
        // keeps failing instead of stepping again without end.
        if (!CopyTree_AskRetry(sourcePath, error))
            break;
    }
    FindClose(search->handle);
    search->handle = INVALID_HANDLE_VALUE;
    return false;
}

void CopyTree(const char *sourcePath, const char *targetFolder)
{
    CopyState.sameFolder = 0;

    bool shareRoot = CopyPaths_IsShareRoot(sourcePath);
    char shareFolder[COPIER_PATH_CHARS];
    if (shareRoot) {
        // \\server\share goes into a folder named after the share; the
        // caller's target stays as it is for the job's next source.
        if (!CopyPaths_Join(shareFolder, sizeof shareFolder, targetFolder,
                            CopyPaths_LastName(sourcePath),
                            COPY_PATH_SYSTEM_LIMIT)) {
            CopyTree_ReportTooLongJoin(targetFolder,
                                       CopyPaths_LastName(sourcePath));
            return;
        }
        while (!CreateDirectoryA(shareFolder, NULL)) {
            DWORD error = GetLastError();
            if (error == ERROR_ALREADY_EXISTS)
                break;
            if (!CopyTree_RetryFolderCreation(shareFolder, error))
                return;
        }
        targetFolder = shareFolder;
    }

    COPY_SEARCH search;
    search.handle = INVALID_HANDLE_VALUE;
    search.listing = !(CopyState.topLevel && !shareRoot);
    bool fits = search.listing
        ? CopyPaths_Join(search.pattern, sizeof search.pattern, sourcePath,
                         "*.*", COPY_PATH_SYSTEM_LIMIT)
        : CopyPaths_Copy(search.pattern, sizeof search.pattern, sourcePath,
                         COPY_PATH_SYSTEM_LIMIT);
    if (!fits) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(sourcePath);
        return;
    }

    WIN32_FIND_DATAA entry;
    if (!CopyTree_OpenSearch(sourcePath, &search, &entry))
        return;
    CopyTree_SetQuoted(&CopyState.currentSourceText, sourcePath);

    for (;;) {
        if (CopyTree_Stopped())
            break;
        // Only "." and ".." are passed over: ".git", ".env" and the like
        // are items like any other.
        bool item = !Listing_IsSelfOrParent(entry.cFileName);
        if (item && search.nameLost) {
            CopyTree_ReportLostName(sourcePath, CopyState.topLevel && !shareRoot,
                                    &entry);
            CopyState.topLevel = 0;
        } else if (item) {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (CopyTree_CopyFolder(sourcePath, shareRoot, targetFolder,
                                        &entry))
                    search.gone++;
            } else {
                char itemSource[COPIER_PATH_CHARS];
                bool ok = true;
                if (CopyState.topLevel && !shareRoot)
                    lstrcpynA(itemSource, sourcePath, sizeof itemSource);
                else
                    ok = CopyPaths_Join(itemSource, sizeof itemSource,
                                        sourcePath, entry.cFileName,
                                        COPY_PATH_SYSTEM_LIMIT);
                if (!ok) {
                    CopyState.topLevel = 0;
                    CopyTree_ReportTooLongJoin(sourcePath, entry.cFileName);
                } else if (CopyTree_CopyFile(itemSource, targetFolder,
                                             &entry)) {
                    search.gone++;
                }
            }
        }
        CopyState.skipCurrentFile = 0;
        WaitWhilePaused(COPY_PAUSE_STEP_MS);
        if (CopyTree_Stopped())
            break;
        if (!CopyTree_NextEntry(sourcePath, &search, &entry))
            return;
    }
    if (search.handle != INVALID_HANDLE_VALUE)
        FindClose(search.handle);
}
