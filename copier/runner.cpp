// RunJob: the runner thread.  Takes the job's sources one by one: a move
// within one drive letter is a single rename, everything else goes through
// CopyTree.  At the end it raises the end flags; the monitor then names the
// window "Finished" and lets it close.
#include <windows.h>

#include <string>

#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "file_identity.h"
#include "job_file_reader.h"
#include "path_compare.h"
#include "volume_rules.h"

// The long form of a path where the system knows it, so that an 8.3 alias
// of a folder is recognised as that folder.
static std::wstring Runner_LongForm(const wchar_t *path)
{
    std::wstring api = CopyPaths_ForApi(path);
    DWORD length = GetLongPathNameW(api.c_str(), NULL, 0);
    if (length == 0)
        return path;
    std::wstring longForm(length, L'\0');
    length = GetLongPathNameW(api.c_str(), &longForm[0], length);
    longForm.resize(length);
    // Back to the form the job gave, without the "\\?\" the call was given.
    if (longForm.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + longForm.substr(8);
    if (longForm.compare(0, 4, L"\\\\?\\") == 0)
        return longForm.substr(4);
    return longForm;
}

// Does the target folder lie in the source folder (or is it the source)?
// By text first, then by identity: the same folder reached through another
// drive letter (subst, a mapped drive) or a junction has another text, and
// copying into it would nest copies until the disk is full.  Walking up
// from the target, any folder that is the source itself gives it away.
static bool Runner_TargetInsideSource(void)
{
    std::wstring source = Runner_LongForm(CopyState.currentSource);
    std::wstring target = Runner_LongForm(CopyState.targetFolder);
    if (CopyPaths_IsInside(target.c_str(), source.c_str(), PathCompare_Equal) ||
        CopyPaths_IsInside(CopyState.targetFolder, CopyState.currentSource,
                           PathCompare_Equal))
        return true;
    DWORD attributes =
        GetFileAttributesW(CopyPaths_ForApi(CopyState.currentSource).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    FILE_IDENTITY sourceIdentity;
    return FileIdentity_OfPath(CopyState.currentSource, &sourceIdentity) &&
           FileIdentity_FolderInside(CopyState.targetFolder, &sourceIdentity);
}

// A folder copied into itself or into one of its own subfolders would meet
// its own copies on the way down.  Tells the user, naming both, and
// returns true so that this source is passed over.
static bool Runner_RefuseTargetInsideSource(void)
{
    if (!Runner_TargetInsideSource())
        return false;

    std::wstring shownSource = CopyState.currentSource;
    std::wstring shownTarget = CopyState.targetFolder;
    LowerCaseAsciiW(&shownSource[0]);
    LowerCaseAsciiW(&shownTarget[0]);
    std::wstring message =
        std::wstring(CopyState.copyMode ? L"Cannot copy" : L"Cannot move") +
        L" \"" + shownSource + L"\" into \"" + shownTarget +
        L"\": the target folder lies inside the source folder.\n\nThis item "
        L"is passed over; the rest of the job goes on.";
    PauseCopy();
    MessageBoxW(CopyState.progressWindow, message.c_str(),
                CopyState.copyMode ? L"Error Copying Folder"
                                   : L"Error Moving Folder",
                MB_OK | MB_ICONSTOP);
    ResumeCopy();
    return true;
}

// Move mode: an item dropped into the folder that already holds it stays
// where it is; copying it would only rename it to "Copy of".
static bool Runner_AlreadyInTarget(void)
{
    std::wstring target;
    if (!CopyPaths_Join(&target, CopyState.targetFolder,
                        CopyPaths_LastName(CopyState.currentSource)))
        return false;
    return CopyPaths_SamePath(target.c_str(), CopyState.currentSource,
                              PathCompare_Equal);
}

// Same-drive move: one rename.  Returns true when it is done.
static bool Runner_Rename(void)
{
    std::wstring target;
    if (!CopyPaths_Join(&target, CopyState.targetFolder,
                        CopyPaths_LastName(CopyState.currentSource)))
        return false;
    return MoveFileW(CopyPaths_ForApi(CopyState.currentSource).c_str(),
                     CopyPaths_ForApi(target.c_str()).c_str()) != 0;
}

// The target volume's file system, and the step in which it keeps
// last-write times where its name tells it.
static void Runner_LookAtTargetVolume(void)
{
    std::wstring target = CopyPaths_ForApi(CopyState.targetFolder);
    wchar_t root[COPIER_PATH_CHARS];
    wchar_t name[MAX_PATH + 1];
    DWORD serial, longestName, flags;
    CopyState.targetFileSystem[0] = '\0';
    if (GetVolumePathNameW(target.c_str(), root, COPIER_PATH_CHARS) &&
        GetVolumeInformationW(root, NULL, 0, &serial, &longestName, &flags,
                              name, MAX_PATH + 1)) {
        // File-system names are ASCII ("NTFS", "FAT32", "exFAT").
        int i = 0;
        for (; name[i] && i < MAX_PATH; i++)
            CopyState.targetFileSystem[i] = name[i] < 128 ? (char)name[i] : '?';
        CopyState.targetFileSystem[i] = '\0';
    }
    uint64_t step =
        VolumeRules_TimeStepOfFileSystem(CopyState.targetFileSystem);
    if (step != TIME_STEP_EXACT) {
        CopyState.targetTimeStep = step;
        CopyState.targetTimeStepKnown = 1;
    }
}

unsigned __stdcall RunJob(void *)
{
    Runner_LookAtTargetVolume();
    for (int taken = 0;
         taken < CopyState.sourceCount && !CopyState.stopRequested; taken++) {
        JobFile_NextSourceW(CopyState.jobBody, CopyState.jobBodySize,
                            CopyState.jobTextForm, &CopyState.jobCursor,
                            CopyState.currentSource, COPIER_PATH_CHARS);
        CopyState.topLevel = 1;
        // The user skipped this item while the job was counted.
        if (SkippedSources_Has(taken))
            continue;
        if (Runner_RefuseTargetInsideSource())
            continue;
        if (CopyState.copyMode == 0) {
            if (Runner_AlreadyInTarget())
                continue;
            // A rename that fails (the target holds that name already, the
            // item is in use...) is not left behind: the copy-and-delete
            // path below handles it, existing-target decision included.
            if (CopyPaths_IsSameDriveMove(CopyState.currentSource,
                                          CopyState.targetFolder) &&
                Runner_Rename())
                continue;
        }
        CopyTree(CopyState.currentSource, CopyState.targetFolder);
    }
    // The monitor sees runnerEnded, names the window "Finished" and raises
    // jobDone, which closes it.
    CopyState.runnerEnded = 1;
    CopyState.stopRequested = 1;
    return 0;
}
