// RunJob: the runner thread.  Takes the job's sources one by one: a move
// within one drive letter is a single rename, everything else goes through
// CopyTree.  At the end it raises the end flags; the monitor then names the
// window "Finished" and lets it close.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "file_identity.h"
#include "job_file.h"
#include "volume_rules.h"

// The long form of a path where the system knows it, so that an 8.3 alias
// of a folder is recognised as that folder.
static void Runner_LongForm(const char *path, char *out, size_t outSize)
{
    DWORD length = GetLongPathNameA(path, out, (DWORD)outSize);
    if (length == 0 || length >= outSize)
        lstrcpynA(out, path, (int)outSize);
}

// Does the target folder lie in the source folder (or is it the source)?
// By text first, then by identity: the same folder reached through another
// drive letter (subst, a mapped drive) or a junction has another text, and
// copying into it would nest copies until the disk is full.  Walking up
// from the target, any folder that is the source itself gives it away.
static bool Runner_TargetInsideSource(void)
{
    char source[COPIER_PATH_CHARS];
    char target[COPIER_PATH_CHARS];
    Runner_LongForm(CopyState.currentSource, source, sizeof source);
    Runner_LongForm(CopyState.targetFolder, target, sizeof target);
    if (CopyPaths_IsInside(target, source) ||
        CopyPaths_IsInside(CopyState.targetFolder, CopyState.currentSource))
        return true;
    DWORD attributes = GetFileAttributesA(CopyState.currentSource);
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

    char shownSource[COPIER_PATH_CHARS];
    char shownTarget[COPIER_PATH_CHARS];
    lstrcpynA(shownSource, CopyState.currentSource, sizeof shownSource);
    lstrcpynA(shownTarget, CopyState.targetFolder, sizeof shownTarget);
    LowerCaseAscii(shownSource);
    LowerCaseAscii(shownTarget);
    char message[2 * COPIER_PATH_CHARS + 200];
    snprintf(message, sizeof message,
             "%s \"%s\" into \"%s\": the target folder lies inside the "
             "source folder.\n\nThis item is passed over; the rest of the "
             "job goes on.",
             CopyState.copyMode ? "Cannot copy" : "Cannot move", shownSource,
             shownTarget);
    PauseCopy();
    MessageBoxA(CopyState.progressWindow, message,
                CopyState.copyMode ? "Error Copying Folder"
                                   : "Error Moving Folder",
                MB_OK | MB_ICONSTOP);
    ResumeCopy();
    return true;
}

// Move mode: an item dropped into the folder that already holds it stays
// where it is; copying it would only rename it to "Copy of".
static bool Runner_AlreadyInTarget(void)
{
    char target[COPIER_PATH_CHARS];
    if (!CopyPaths_Join(target, sizeof target, CopyState.targetFolder,
                        CopyPaths_LastName(CopyState.currentSource),
                        COPIER_PATH_CHARS))
        return false;
    return CopyPaths_SamePath(target, CopyState.currentSource);
}

// Same-drive move: one rename.  Returns true when it is done.
static bool Runner_Rename(void)
{
    char target[COPIER_PATH_CHARS];
    if (!CopyPaths_Join(target, sizeof target, CopyState.targetFolder,
                        CopyPaths_LastName(CopyState.currentSource),
                        COPY_PATH_SYSTEM_LIMIT))
        return false;
    return MoveFileA(CopyState.currentSource, target) != 0;
}

// The target volume's file system, and the step in which it keeps
// last-write times where its name tells it.
static void Runner_LookAtTargetVolume(void)
{
    char root[MAX_PATH + 1];
    DWORD serial, longestName, flags;
    if (!GetVolumePathNameA(CopyState.targetFolder, root, sizeof root) ||
        !GetVolumeInformationA(root, NULL, 0, &serial, &longestName, &flags,
                               CopyState.targetFileSystem,
                               sizeof CopyState.targetFileSystem))
        CopyState.targetFileSystem[0] = '\0';
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
        JobFile_NextSource(CopyState.jobBody, CopyState.jobBodySize,
                           &CopyState.jobCursor, CopyState.currentSource,
                           sizeof CopyState.currentSource);
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
