// CopyTree: the walk over one source (a file, a folder with everything
// below it, or a \\server\share): its listings, folders created or merged,
// links and loops, and the moved folders removed once empty.  Each file
// goes to the file procedure (copy_tree_file.cpp).
#include <windows.h>

#include <string>

#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "entry_rules.h"
#include "path_compare.h"
#include "skipped_items.h"
#include "tree_search.h"

enum {
    COPY_PAUSE_STEP_MS = 50,
};

bool CopyTree_MovesSources(void)
{
    return CopyState.copyMode == 0 && CopyState.linkDepth == 0;
}

static void CopyTree_SetSourceText(const wchar_t *path)
{
    std::wstring text = std::wstring(L"\"") + path + L"\"";
    SharedText_Set(&CopyState.currentSourceText, text.c_str());
}

// A path longer than the system takes: reported with a skip offered.
// Whatever the answer, the item is passed over: trying the same name again
// can only fail the same way.
static void CopyTree_ReportTooLong(const wchar_t *folder, const wchar_t *name)
{
    std::wstring shown = folder;
    if (name)
        shown += std::wstring(L"\\") + name;
    ReportError_Retry(shown.c_str(), ERROR_FILENAME_EXCED_RANGE);
}

// A folder that cannot be created (an invalid name, a parent that refuses
// new folders) may never become creatable, and every file below it would
// fail in turn: the user may skip the folder with all it holds, and its
// source stays.  Returns true when the creation is to be tried again.
static bool CopyTree_RetryFolderCreation(const std::wstring &folderPath,
                                         DWORD error)
{
    std::wstring text = L"During creation of the folder : " + folderPath;
    return ReportError_Retry(text.c_str(), error);
}

static bool CopyTree_CreateFolder(const std::wstring &path)
{
    return CreateDirectoryW(CopyPaths_ForApi(path.c_str()).c_str(), NULL) != 0;
}

// Creates the target folder for a folder entry into `folderPath`: a new
// folder, the "Copy of" folder of one dropped into its own parent, or an
// existing one to merge into.  Returns false when the folder is passed
// over: its path is too long, the user skipped it, or the job stopped.
static bool CopyTree_MakeFolder(std::wstring *folderPath,
                                const wchar_t *targetFolder,
                                const WIN32_FIND_DATAW *entry)
{
    CopyState.copyOfCounter = 0;
    if (!CopyPaths_Join(folderPath, targetFolder, entry->cFileName)) {
        CopyTree_ReportTooLong(targetFolder, entry->cFileName);
        return false;
    }
    CopyState.sameFolder = CopyPaths_SamePath(
        folderPath->c_str(), CopyState.currentSource, PathCompare_Equal);
    for (;;) {
        if (CopyTree_CreateFolder(*folderPath))
            return true;
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS && CopyState.topLevel &&
            CopyState.sameFolder) {
            for (;;) {
                if (!CopyPaths_CopyOfName(folderPath, targetFolder,
                                          entry->cFileName,
                                          CopyState.copyOfCounter)) {
                    CopyTree_ReportTooLong(targetFolder, entry->cFileName);
                    return false;
                }
                CopyState.copyOfCounter++;
                if (CopyTree_CreateFolder(*folderPath))
                    return true;
                error = GetLastError();
                if (error != ERROR_ALREADY_EXISTS)
                    break;
            }
        } else if (error == ERROR_ALREADY_EXISTS) {
            return true;            // merged into the existing folder
        }
        if (!CopyTree_RetryFolderCreation(*folderPath, error))
            return false;
    }
}

// Handles a folder entry.  Returns true when the move removed its source.
static bool CopyTree_CopyFolder(const wchar_t *sourcePath, bool shareRoot,
                                const wchar_t *targetFolder,
                                const WIN32_FIND_DATAW *entry)
{
    std::wstring folderPath;
    std::wstring descentSource;
    bool itself = CopyState.topLevel && !shareRoot;
    if (itself) {
        descentSource = sourcePath;
    } else if (!CopyPaths_Join(&descentSource, sourcePath, entry->cFileName)) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(sourcePath, entry->cFileName);
        return false;
    }
    // A link back to a folder above it would be entered again and again:
    // such a folder is passed over and listed among the items left out.
    TRAIL_STEP step =
        FolderTrail_Enter(&CopyState.copyTrail, descentSource.c_str());
    if (step == TRAIL_LOOP) {
        CopyState.topLevel = 0;
        SkippedItems_Add(descentSource.c_str(), SKIPPED_REASON_LOOP);
        return false;
    }
    bool moved = false;
    if (CopyTree_MakeFolder(&folderPath, targetFolder, entry)) {
        CopyState.topLevel = 0;
        // A symbolic link or junction: its contents are copied, but what
        // lies behind it is not the user's selection, so a move deletes
        // nothing there and the link itself stays.
        bool link =
            EntryRules_IsLink(entry->dwFileAttributes, entry->dwReserved0);
        if (link)
            CopyState.linkDepth++;
        CopyTree(descentSource.c_str(), folderPath.c_str());
        if (link) {
            CopyState.linkDepth--;
            if (CopyState.copyMode == 0 && CopyTree_MovesSources() &&
                !CopyState.stopRequested)
                SkippedItems_Add(descentSource.c_str(),
                                 SKIPPED_REASON_LINK_KEPT);
        } else if (CopyTree_MovesSources() && !CopyState.stopRequested) {
            moved = RemoveDirectoryW(
                        CopyPaths_ForApi(descentSource.c_str()).c_str()) != 0;
        }
    }
    CopyState.topLevel = 0;
    FolderTrail_Leave(&CopyState.copyTrail, step);
    return moved;
}

// Handles a file entry.  Returns true when the move deleted its source.
static bool CopyTree_CopyFileEntry(const wchar_t *sourcePath, bool shareRoot,
                                   const wchar_t *targetFolder,
                                   const WIN32_FIND_DATAW *entry)
{
    std::wstring itemSource, itemTarget;
    if (CopyState.topLevel && !shareRoot) {
        itemSource = sourcePath;
    } else if (!CopyPaths_Join(&itemSource, sourcePath, entry->cFileName)) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(sourcePath, entry->cFileName);
        return false;
    }
    if (!CopyPaths_Join(&itemTarget, targetFolder, entry->cFileName)) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(targetFolder, entry->cFileName);
        return false;
    }
    return CopyTree_File(itemSource.c_str(), targetFolder, itemTarget.c_str(),
                         entry);
}

// The share folder of a \\server\share source: the share's contents go
// into a folder named after it; the caller's target stays as it is for the
// job's next source.  Returns false when the share is passed over.
static bool CopyTree_MakeShareFolder(const wchar_t *sourcePath,
                                     const wchar_t *targetFolder,
                                     std::wstring *shareFolder)
{
    const wchar_t *name = CopyPaths_LastName(sourcePath);
    if (!CopyPaths_Join(shareFolder, targetFolder, name)) {
        CopyTree_ReportTooLong(targetFolder, name);
        return false;
    }
    while (!CopyTree_CreateFolder(*shareFolder)) {
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS)
            break;
        if (!CopyTree_RetryFolderCreation(*shareFolder, error))
            return false;
    }
    return true;
}

void CopyTree(const wchar_t *sourcePath, const wchar_t *targetFolder)
{
    CopyState.sameFolder = 0;

    bool shareRoot = CopyPaths_IsShareRoot(sourcePath);
    std::wstring shareFolder;
    if (shareRoot) {
        if (!CopyTree_MakeShareFolder(sourcePath, targetFolder, &shareFolder))
            return;
        targetFolder = shareFolder.c_str();
    }

    TREE_SEARCH search;
    search.handle = INVALID_HANDLE_VALUE;
    search.listing = !(CopyState.topLevel && !shareRoot);
    search.pattern = sourcePath;
    if (search.listing)
        search.pattern += L"\\*";
    if (search.pattern.size() >= COPY_PATH_SYSTEM_LIMIT) {
        CopyState.topLevel = 0;
        CopyTree_ReportTooLong(sourcePath, NULL);
        return;
    }

    WIN32_FIND_DATAW entry;
    if (!TreeSearch_Open(sourcePath, &search, &entry))
        return;
    CopyTree_SetSourceText(sourcePath);

    while (!CopyState.stopRequested) {
        // Only "." and ".." are passed over: ".git", ".env" and the like
        // are items like any other.
        if (EntryRules_IsSelfOrParent(entry.cFileName)) {
            // not an item
        } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (CopyTree_CopyFolder(sourcePath, shareRoot, targetFolder, &entry))
                search.gone++;
        } else if (CopyTree_CopyFileEntry(sourcePath, shareRoot, targetFolder,
                                          &entry)) {
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
