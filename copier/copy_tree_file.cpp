// CopyTree's file procedure: one file entry of the walk, from its source to
// its target - the "Copy of" name of a file dropped into its own folder, a
// new target, or the existing-target decision - then the chunk copy, the
// checks before a move lets its source go, and that delete.
#include <windows.h>

#include <string>

#include "copier_errors.h"
#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "entry_rules.h"
#include "existing_target.h"
#include "file_copy.h"
#include "path_compare.h"
#include "skipped_items.h"
#include "volume_rules.h"

static void CopyTreeFile_SetTargetText(const std::wstring &path)
{
    std::wstring text = L"\"" + path + L"\"";
    SharedText_Set(&CopyState.currentTargetText, text.c_str());
}

static bool CopyTreeFile_Exists(const std::wstring &path)
{
    return GetFileAttributesW(CopyPaths_ForApi(path.c_str()).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}

// A copy into its own folder that was killed left its "Copy of" name cut
// short: a relaunched job continues the newest such name (the last one
// taken before the first free one) when it is a verified partial copy.  A
// fresh job never does: an older, shorter "Copy of" is the user's earlier
// snapshot, not an unfinished copy.
static HANDLE CopyTreeFile_ContinueCopyOf(std::wstring *targetPath,
                                          const wchar_t *targetFolder,
                                          const WIN32_FIND_DATAW *entry,
                                          HANDLE source)
{
    if (!CopyState.relaunchedJob)
        return INVALID_HANDLE_VALUE;
    std::wstring candidate, newest;
    int newestCounter = -1;
    for (int counter = 0;; counter++) {
        if (!CopyPaths_CopyOfName(&candidate, targetFolder, entry->cFileName,
                                  counter) ||
            !CopyTreeFile_Exists(candidate))
            break;
        newest = candidate;
        newestCounter = counter;
    }
    if (newestCounter < 0)
        return INVALID_HANDLE_VALUE;
    HANDLE target = ContinuePartialTarget(newest.c_str(), entry, source);
    if (target != INVALID_HANDLE_VALUE) {
        *targetPath = newest;
        CopyState.copyOfCounter = newestCounter + 1;
    }
    return target;
}

// Creates the target of a file dropped into its own folder under the first
// free "Copy of" name; `targetPath` receives that name.
static HANDLE CopyTreeFile_CreateCopyOf(std::wstring *targetPath,
                                        const wchar_t *targetFolder,
                                        const WIN32_FIND_DATAW *entry,
                                        HANDLE source)
{
    HANDLE resumed =
        CopyTreeFile_ContinueCopyOf(targetPath, targetFolder, entry, source);
    if (resumed != INVALID_HANDLE_VALUE)
        return resumed;
    for (;;) {
        if (!CopyPaths_CopyOfName(targetPath, targetFolder, entry->cFileName,
                                  CopyState.copyOfCounter)) {
            std::wstring shown = std::wstring(targetFolder) + L"\\" +
                                 entry->cFileName;
            ReportError_Retry(shown.c_str(), ERROR_FILENAME_EXCED_RANGE);
            return INVALID_HANDLE_VALUE;
        }
        CopyState.copyOfCounter++;
        HANDLE target = FileCopy_CreateNew(targetPath->c_str(), entry);
        if (target != INVALID_HANDLE_VALUE)
            return target;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            continue;
        if (!ReportError_Retry(targetPath->c_str(), error))
            return INVALID_HANDLE_VALUE;
        CopyState.copyOfCounter--;    // try the same name again
    }
}

// Creates the target file, or lets the existing-target decision open it.
// Returns INVALID_HANDLE_VALUE when the file is to be passed over;
// `verifiedComplete` then tells whether it was a complete copy whose bytes
// were compared equal (move mode).
static HANDLE CopyTreeFile_OpenTarget(std::wstring *targetPath,
                                      const wchar_t *targetFolder,
                                      const WIN32_FIND_DATAW *entry,
                                      HANDLE source, bool moving,
                                      bool *verifiedComplete, bool *existed)
{
    *verifiedComplete = false;
    *existed = false;
    for (;;) {
        HANDLE target = FileCopy_CreateNew(targetPath->c_str(), entry);
        if (target != INVALID_HANDLE_VALUE)
            return target;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS &&
            CopyState.topLevel && CopyState.sameFolder)
            return CopyTreeFile_CreateCopyOf(targetPath, targetFolder, entry,
                                             source);
        if (error == ERROR_FILE_EXISTS) {
            *existed = true;
            return DecideExistingTarget(targetPath->c_str(), entry, source,
                                        moving, verifiedComplete);
        }
        if (!ReportError_Retry(targetPath->c_str(), error))
            return INVALID_HANDLE_VALUE;
    }
}

// A failure while opening, reading or writing a file, with a skip offered.
// Returns true when the file is to be tried again: its target now exists
// and is continued from its present size without counting that part twice.
static bool CopyTreeFile_Retry(const wchar_t *path, DWORD error)
{
    if (!ReportError_Retry(path, error))
        return false;
    CopyState.resumedFile = 1;
    return true;
}

// Move mode: deletes the source of a finished copy.  A source another
// program holds open would otherwise stay behind unnoticed, so a failure
// goes to the error dialog: retry, or skip and keep the source.  Returns
// true when the source is gone.
static bool CopyTreeFile_DeleteSource(const wchar_t *sourcePath,
                                      DWORD attributes)
{
    for (;;) {
        DWORD error = FileCopy_DeleteSource(sourcePath, attributes);
        if (error == NO_ERROR || error == ERROR_FILE_NOT_FOUND)
            return error == NO_ERROR;
        if (!ReportError_Retry(sourcePath, error))
            return false;
    }
}

// A move lets its source go only when its copy holds exactly as many bytes
// (a part kept from an earlier run was compared in full before it was
// continued).  Returns NO_ERROR, or the failure to report.
static DWORD CopyTreeFile_CheckBeforeDelete(HANDLE source, HANDLE target)
{
    if (!FileCopy_SameSize(source, target))
        return COPIER_ERROR_SIZE_MISMATCH;
    // The source goes only once its copy is on the disk.
    if (!FlushFileBuffers(target))
        return GetLastError();
    return NO_ERROR;
}

bool CopyTree_File(const wchar_t *sourcePath, const wchar_t *targetFolder,
                   const wchar_t *itemTarget, const WIN32_FIND_DATAW *entry)
{
    std::wstring targetPath = itemTarget;
    CopyTreeFile_SetTargetText(targetPath);
    CopyState.resumedFile = 0;
    // A file link: its content is copied, but what lies behind it is not
    // the user's selection, so a move leaves the link (and what it points
    // to) in place.
    bool link = EntryRules_IsLink(entry->dwFileAttributes, entry->dwReserved0);
    bool moving = CopyTree_MovesSources() && !link;

    // FAT holds no file of 4 GiB: said before a byte is written, rather
    // than after 4 GiB of it.
    uint64_t size = ((uint64_t)entry->nFileSizeHigh << 32) | entry->nFileSizeLow;
    while (!VolumeRules_FileFits(CopyState.targetFileSystem, size)) {
        if (!ReportError_Retry(targetPath.c_str(),
                               COPIER_ERROR_TOO_LARGE_FOR_FAT)) {
            CopyState.topLevel = 0;
            return false;
        }
    }

    for (;;) {
        // Start, and the point a retried error comes back to.
        CopyState.resumeOffset = 0;
        CopyState.copyOfCounter = 0;
        CopyState.sameFolder = CopyPaths_SamePath(
            targetPath.c_str(), CopyState.currentSource, PathCompare_Equal);

        // The source first: one that cannot be opened must leave an
        // existing target exactly as it was (a replace would already have
        // cut it to nothing) and no new empty file behind.
        HANDLE source = FileCopy_OpenSource(sourcePath);
        if (source == INVALID_HANDLE_VALUE) {
            int resumed = CopyState.resumedFile;
            if (!CopyTreeFile_Retry(sourcePath, GetLastError())) {
                CopyState.topLevel = 0;
                return false;
            }
            CopyState.resumedFile = resumed;    // nothing was written
            continue;
        }

        bool verifiedComplete, existed;
        HANDLE target = CopyTreeFile_OpenTarget(&targetPath, targetFolder,
                                                entry, source, moving,
                                                &verifiedComplete, &existed);
        CopyState.topLevel = 0;
        if (target == INVALID_HANDLE_VALUE) {
            CloseHandle(source);
            // Move mode: a complete copy, compared equal, lets the source go
            // (a move relaunched after a kill ends with every source gone).
            if (verifiedComplete && moving && !CopyState.stopRequested)
                return CopyTreeFile_DeleteSource(sourcePath,
                                                 entry->dwFileAttributes);
            return false;
        }
        if (CopyState.copyOfCounter > 0)     // written under a "Copy of" name
            CopyTreeFile_SetTargetText(targetPath);

        DWORD failure = NO_ERROR;
        bool failedOnTarget = false;
        FILE_TRANSFER transfer =
            FileCopy_Transfer(source, target, entry, &failure, &failedOnTarget);
        if (transfer == TRANSFER_DONE && moving && !CopyState.stopRequested) {
            failure = CopyTreeFile_CheckBeforeDelete(source, target);
            if (failure != NO_ERROR) {
                transfer = TRANSFER_FAILED;
                failedOnTarget = failure != COPIER_ERROR_SIZE_MISMATCH;
            }
        }

        // Every target, also a partial one, bears the source's times when it
        // is closed, so that a later pass recognises it as a copy to be
        // continued.
        FileCopy_SetTimes(target, entry);
        CloseHandle(source);
        // A close that fails may have lost the last bytes written.
        if (!CloseHandle(target) && transfer == TRANSFER_DONE) {
            failure = GetLastError();
            failedOnTarget = true;
            transfer = TRANSFER_FAILED;
        }
        if (transfer == TRANSFER_FAILED) {
            if (!CopyTreeFile_Retry(failedOnTarget ? targetPath.c_str()
                                                   : sourcePath,
                                    failure))
                return false;
            continue;
        }
        if (transfer == TRANSFER_STOPPED || CopyState.stopRequested)
            return false;
        if (existed)
            FileCopy_KeepHiddenAndSystem(targetPath.c_str(), entry);
        FileCopy_LearnTimeStep(targetPath.c_str(), entry);
        if (link && CopyState.copyMode == 0)
            SkippedItems_Add(sourcePath, SKIPPED_REASON_LINK_KEPT);
        if (moving)
            return CopyTreeFile_DeleteSource(sourcePath,
                                             entry->dwFileAttributes);
        return false;
    }
}
