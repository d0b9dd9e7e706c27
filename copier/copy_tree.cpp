// CopyTree: the walk over one source (a file, a folder with everything
// below it, or a \\server\share): its listings, folders created or merged,
// links and loops, and the moved folders removed once empty.  Each file
// goes to the file procedure (copy_tree_file.cpp).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "copier_errors.h"
#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "entry_rules.h"
#include "skipped_items.h"
#include "tree_search.h"

enum {
    COPY_PAUSE_STEP_MS = 50,
};

bool CopyTree_MovesSources(void)
{
    return CopyState.copyMode == 0 && CopyState.linkDepth == 0;
}

static void CopyTree_SetSourceText(const char *path)
{
    char text[COPIER_TEXT_CHARS];
    snprintf(text, sizeof text, "\"%s\"", path);
    SharedText_Set(&CopyState.currentSourceText, text);
}

// A path the system cannot take: reported with a skip offered.  Whatever
// the answer, the item is passed over: trying the same name again can only
// fail the same way.
static void CopyTree_ReportTooLong(const char *folder, const char *name)
{
    char shown[COPIER_PATH_CHARS];
    if (name)
        snprintf(shown, sizeof shown, "%s\\%s", folder, name);
    else
        lstrcpynA(shown, folder, sizeof shown);
    ReportError_Retry(shown, ERROR_FILENAME_EXCED_RANGE);
}

// An entry whose name the copier can't use: one the ANSI code page cannot
// hold (copying it under the converted name would write another name, or
// replace another file), or one ending in a dot or a blank (the path
// functions would open another file).  It is reported with a skip offered
// and passed over whatever the answer; its source stays.
static void CopyTree_ReportName(const char *shown, LISTING_NAME name)
{
    DWORD error = ERROR_NO_UNICODE_TRANSLATION;
    if (name == LISTING_NAME_UNREACHABLE)
        error = COPIER_ERROR_NAME_UNREACHABLE;
    if (ReportError_Retry(shown, error))
        SkippedItems_Add(shown, CopyState.errorText);   // retried: still out
}

// A folder that cannot be created (an invalid name, a parent that refuses
// new folders) may never become creatable, and every file below it would
// fail in turn: the user may skip the folder with all it holds, and its
// source stays.  Returns true when the creation is to be tried again.
static bool CopyTree_RetryFolderCreation(const char *folderPath, DWORD error)
{
    char text[COPIER_TEXT_CHARS];
    snprintf(text, sizeof text, "During creation of the folder : %s",
             folderPath);
    return ReportError_Retry(text, error);
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
        CopyTree_ReportTooLong(targetFolder, entry->cFileName);
        return false;
    }
    CopyState.sameFolder =
        CopyPaths_SamePath(folderPath, CopyState.currentSource);
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
                    CopyTree_ReportTooLong(targetFolder, entry->cFileName);
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
        CopyTree_ReportTooLong(sourcePath, entry->cFileName);
        return false;
    }
    // A link back to a folder above it would be entered again and again:
    // such a folder is passed over and listed among the items left out.
    TRAIL_STEP step = FolderTrail_Enter(&CopyState.copyTrail, descentSource);
    if (step == TRAIL_LOOP) {
        CopyState.topLevel = 0;
        SkippedItems_Add(descentSource, SKIPPED_REASON_LOOP);
        return false;
    }
    bool moved = false;
    if (CopyTree_MakeFolder(folderPath, targetFolder, entry)) {
        CopyState.topLevel = 0;
        // A symbolic link or junction: its contents are copied, but what
        // lies behind it is not the user's selection, so a move deletes
        // nothing there and the link itself stays.
        bool link =
            EntryRules_IsLink(entry->dwFileAttributes, entry->dwReserved0);
        if (link)
            CopyState.linkDepth++;
        CopyTree(descentSource, folderPath);
        if (link) {
            CopyState.linkDepth--;
            if (CopyState.copyMode == 0 && CopyTree_MovesSources() &&
                !CopyState.stopRequested)
                SkippedItems_Add(descentSource, SKIPPED_REASON_LINK_KEPT);
        } else if (CopyTree_MovesSources() && !CopyState.stopRequested) {
            moved = RemoveDirectoryA(descentSource) != 0;
        }
    }
    CopyState.topLevel = 0;
    FolderTrail_Leave(&CopyState.copyTrail, step);
    return moved;
}

// Handles a file entry.  Returns true when the move deleted its source.
static bool CopyTree_CopyFileEntry(const char *sourcePath, bool shareRoot,
                                   const char *targetFolder,
                                   const WIN32_FIND_DATAA *entry)
{
    char itemSource[COPIER_PATH_CHARS];
    char itemTarget[COPIER_PATH_CHARS];
    bool fits = CopyState.topLevel && !shareRoot
        ? CopyPaths_Copy(itemSource, sizeof itemSource, sourcePath,
                         COPY_PATH_SYSTEM_LIMIT)
        : CopyPaths_Join(itemSource, sizeof itemSource, sourcePath,
                         entry->cFileName, COPY_PATH_SYSTEM_LIMIT);
    if (!fits) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(sourcePath, entry->cFileName);
        return false;
    }
    if (!CopyPaths_Join(itemTarget, sizeof itemTarget, targetFolder,
                        entry->cFileName, COPY_PATH_SYSTEM_LIMIT)) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(targetFolder, entry->cFileName);
        return false;
    }
    return CopyTree_File(itemSource, targetFolder, itemTarget, entry);
}

// The share folder of a \\server\share source: the share's contents go
// into a folder named after it; the caller's target stays as it is for the
// job's next source.  Returns false when the share is passed over.
static bool CopyTree_MakeShareFolder(const char *sourcePath,
                                     const char *targetFolder,
                                     char *shareFolder)
{
    const char *name = CopyPaths_LastName(sourcePath);
    if (!CopyPaths_Join(shareFolder, COPIER_PATH_CHARS, targetFolder, name,
                        COPY_PATH_SYSTEM_LIMIT)) {
        CopyTree_ReportTooLong(targetFolder, name);
        return false;
    }
    while (!CreateDirectoryA(shareFolder, NULL)) {
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS)
            break;
        if (!CopyTree_RetryFolderCreation(shareFolder, error))
            return false;
    }
    return true;
}

void CopyTree(const char *sourcePath, const char *targetFolder)
{
    CopyState.sameFolder = 0;

    bool shareRoot = CopyPaths_IsShareRoot(sourcePath);
    char shareFolder[COPIER_PATH_CHARS];
    if (shareRoot) {
        if (!CopyTree_MakeShareFolder(sourcePath, targetFolder, shareFolder))
            return;
        targetFolder = shareFolder;
    }

    TREE_SEARCH search;
    search.handle = INVALID_HANDLE_VALUE;
    search.listing = !(CopyState.topLevel && !shareRoot);
    if (!search.listing &&
        EntryRules_NameUnreachable(CopyPaths_LastName(sourcePath))) {
        // The dragged item itself ends with a dot or a blank: its search
        // would find another item.
        CopyState.topLevel = 0;
        CopyTree_ReportName(sourcePath, LISTING_NAME_UNREACHABLE);
        return;
    }
    bool fits = search.listing
        ? CopyPaths_Join(search.pattern, sizeof search.pattern, sourcePath,
                         "*.*", COPY_PATH_SYSTEM_LIMIT)
        : CopyPaths_Copy(search.pattern, sizeof search.pattern, sourcePath,
                         COPY_PATH_SYSTEM_LIMIT);
    if (!fits) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(sourcePath, NULL);
        return;
    }

    WIN32_FIND_DATAA entry;
    if (!TreeSearch_Open(sourcePath, &search, &entry))
        return;
    CopyTree_SetSourceText(sourcePath);

    while (!CopyState.stopRequested) {
        // Only "." and ".." are passed over: ".git", ".env" and the like
        // are items like any other.
        bool item = !EntryRules_IsSelfOrParent(entry.cFileName);
        if (item && search.name != LISTING_NAME_OK) {
            char shown[COPIER_PATH_CHARS];
            if (CopyState.topLevel && !shareRoot)
                lstrcpynA(shown, sourcePath, sizeof shown);
            else
                snprintf(shown, sizeof shown, "%s\\%s", sourcePath,
                         entry.cFileName);
            CopyTree_ReportName(shown, search.name);
            CopyState.topLevel = 0;
        } else if (item && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (CopyTree_CopyFolder(sourcePath, shareRoot, targetFolder, &entry))
                search.gone++;
        } else if (item) {
            if (CopyTree_CopyFileEntry(sourcePath, shareRoot, targetFolder,
                                       &entry))
                search.gone++;
        }
        CopyState.skipCurrentFile = 0;
        WaitWhilePaused(COPY_PAUSE_STEP_MS);
        if (CopyState.stopRequested)
            break;
        if (!TreeSearch_Next(sourcePath, &search, &entry))
            return;
    }
    TreeSearch_Close(&search);
}
