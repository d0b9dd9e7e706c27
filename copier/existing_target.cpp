// DecideExistingTarget: what becomes of a target file that already exists
// when the engine tries to create it - passed over, continued at its end,
// or replaced after the replace question.
#include "existing_target.h"

#include <cstdio>

#include "compare_files.h"
#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "file_copy.h"
#include "formats.h"
#include "resource_ids.h"
#include "target_rules.h"
#include "volume_rules.h"

// STOPPED: a stop was requested, or the user skipped the file.
enum LOOK_UP_RESULT { LOOK_UP_FOUND, LOOK_UP_GONE, LOOK_UP_STOPPED };

enum { CHOICE_REPLACE = 0, CHOICE_PASS_OVER = 1, CHOICE_COPY_REST = 2 };

static uint64_t ExistingTarget_Size(const WIN32_FIND_DATAW *entry)
{
    return ((uint64_t)entry->nFileSizeHigh << 32) | entry->nFileSizeLow;
}

static uint64_t ExistingTarget_WriteTime(const WIN32_FIND_DATAW *entry)
{
    return ((uint64_t)entry->ftLastWriteTime.dwHighDateTime << 32) |
           entry->ftLastWriteTime.dwLowDateTime;
}

// Reads the existing target's directory entry, retrying through the error
// dialog.  A target that vanished since the engine's create is GONE.
static LOOK_UP_RESULT ExistingTarget_LookUp(const wchar_t *targetPath,
                                            WIN32_FIND_DATAW *existing)
{
    for (;;) {
        HANDLE search =
            FindFirstFileW(CopyPaths_ForApi(targetPath).c_str(), existing);
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            return LOOK_UP_FOUND;
        }
        DWORD error = GetLastError();
        if (CopyState.stopRequested)
            return LOOK_UP_STOPPED;
        // Deleted between the engine's create and this look-up: nothing is
        // left to decide about, and looking again would fail for ever.
        if (error == ERROR_FILE_NOT_FOUND)
            return LOOK_UP_GONE;
        if (!ReportError_Retry(targetPath, error))
            return LOOK_UP_STOPPED;
    }
}

// Answers ERROR_ACCESS_DENIED: a read-only, hidden or system target is made
// writable once.  Returns TRUE when the caller may simply try again; FALSE
// when the failure has to be reported, because clearing failed or the
// attributes were cleared already and the target still refuses (retrying
// silently would spin for ever).
static BOOL ExistingTarget_ClearAttributes(const wchar_t *targetPath,
                                           BOOL *attributesCleared)
{
    if (*attributesCleared)
        return FALSE;
    if (!SetFileAttributesW(CopyPaths_ForApi(targetPath).c_str(),
                            FILE_ATTRIBUTE_NORMAL))
        return FALSE;
    *attributesCleared = TRUE;
    return TRUE;
}

// "modified on ..." from a last-write time, in local time.
static void ExistingTarget_DateText(const FILETIME *writeTime, char *out,
                                    size_t outSize)
{
    FILETIME local;
    SYSTEMTIME broken;
    if (!FileTimeToLocalFileTime(writeTime, &local) ||
        !FileTimeToSystemTime(&local, &broken)) {
        out[0] = '\0';
        return;
    }
    Formats_DateText(broken.wMonth, broken.wDay, broken.wYear, broken.wHour,
                     broken.wMinute, broken.wSecond, out, outSize);
}

// The replace question: by the to-all policy or by the dialog.  Returns
// the dialogChoice it ends with.
static int ExistingTarget_Ask(const WIN32_FIND_DATAW *existing,
                              const WIN32_FIND_DATAW *source,
                              int copyRestAllowed)
{
    PauseCopy();

    wsprintfW(CopyState.replaceNameText, L"'%s'", source->cFileName);
    LowerCaseAsciiW(CopyState.replaceNameText);
    Formats_SizeText(ExistingTarget_Size(existing), CopyState.existingSizeText,
                     sizeof CopyState.existingSizeText);
    Formats_SizeText(ExistingTarget_Size(source), CopyState.sourceSizeText,
                     sizeof CopyState.sourceSizeText);
    ExistingTarget_DateText(&existing->ftLastWriteTime,
                            CopyState.existingDateText,
                            sizeof CopyState.existingDateText);
    ExistingTarget_DateText(&source->ftLastWriteTime,
                            CopyState.sourceDateText,
                            sizeof CopyState.sourceDateText);

    // On entry the dialog reads dialogChoice as "may &Copy rest be offered".
    CopyState.dialogChoice = copyRestAllowed ? 1 : 0;
    int byPolicy = TargetRules_PolicyChoice(CopyState.replacePolicy);
    if (byPolicy >= 0) {
        CopyState.dialogChoice = byPolicy;
    } else {
        INT_PTR shown = DialogBoxParamW(CopyState.appInstance,
                                        MAKEINTRESOURCEW(IDD_REPLACE),
                                        CopyState.progressWindow,
                                        ReplaceDialogProc, 0);
        // No dialog means no answer: the entry value must not be taken for
        // "replace", which would overwrite a file nobody agreed to lose.
        if (shown == -1 || shown == 0)
            CopyState.dialogChoice = CHOICE_PASS_OVER;
    }

    ResumeCopy();
    return CopyState.dialogChoice;
}

// Opens the target at its end for writing on from there.  Retries until it
// succeeds, the user skips the file or a stop is requested.
static HANDLE ExistingTarget_Continue(const wchar_t *targetPath,
                                      const WIN32_FIND_DATAW *source,
                                      DWORD existingAttributes)
{
    BOOL attributesCleared = FALSE;
    // A read-only target (the partial copy of a read-only source) refuses
    // to open for writing; clear it first rather than count on the refusal,
    // which some file systems do not give to every user.
    if ((existingAttributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesW(CopyPaths_ForApi(targetPath).c_str(),
                           FILE_ATTRIBUTE_NORMAL))
        attributesCleared = TRUE;
    while (!CopyState.stopRequested) {
        uint64_t end = 0;
        HANDLE target = FileCopy_OpenAtEnd(targetPath, source, &end);
        if (target != INVALID_HANDLE_VALUE) {
            CopyState.resumeOffset = end;
            if (!CopyState.resumedFile)
                CopyState.doneBytes += end;
            return target;
        }
        DWORD error = GetLastError();
        if (CopyState.stopRequested)
            break;
        if (error == ERROR_ACCESS_DENIED &&
            ExistingTarget_ClearAttributes(targetPath, &attributesCleared))
            continue;
        if (!ReportError_Retry(targetPath, error))
            break;
    }
    return INVALID_HANDLE_VALUE;
}

// Replaces the target.  Returns INVALID_HANDLE_VALUE when it could not be
// opened: the caller then asks again, or passes the file over when
// `passOver` is set (a skip, or a stop requested).
static HANDLE ExistingTarget_Replace(const wchar_t *targetPath,
                                     const WIN32_FIND_DATAW *source,
                                     BOOL *attributesCleared, BOOL *passOver)
{
    *passOver = FALSE;
    HANDLE target = FileCopy_Replace(targetPath, source);
    if (target != INVALID_HANDLE_VALUE)
        return target;
    DWORD error = GetLastError();
    if (CopyState.stopRequested) {
        *passOver = TRUE;
        return INVALID_HANDLE_VALUE;
    }
    if (error == ERROR_ACCESS_DENIED &&
        ExistingTarget_ClearAttributes(targetPath, attributesCleared))
        return INVALID_HANDLE_VALUE;
    *passOver = !ReportError_Retry(targetPath, error);
    return INVALID_HANDLE_VALUE;
}

// Settles the rules' verdict by the bytes.  Name, size and time alone would
// splice two different files of one name and time (or of one size and a
// time within the volume's step), and let a move delete a source whose
// bytes exist nowhere else: before a target is continued, or the source of
// a complete one deleted, the bytes must agree.  When they do not, the
// target is no copy of this source: the user is asked, and no rest is
// offered.
static TARGET_DECISION ExistingTarget_CheckBytes(
    TARGET_DECISION decision, const wchar_t *targetPath,
    const WIN32_FIND_DATAW *existing, HANDLE sourceFile, bool moving,
    int *copyRestAllowed, bool *verifiedComplete)
{
    uint64_t size = ExistingTarget_Size(existing);
    if (decision == TARGET_COMPLETE && moving) {
        COMPARE_RESULT same = CompareFiles_Range(sourceFile, targetPath, 0, size);
        if (same == COMPARE_DIFFERENT)
            return TARGET_ASK;
        *verifiedComplete = same == COMPARE_EQUAL;
        return decision;
    }
    // An empty target keeps nothing: writing the whole source joins nothing.
    // A copy compares samples of the kept part; a move, which deletes the
    // source once the rest is written, compares all of it first.
    bool continues = decision == TARGET_CONTINUE ||
                     (decision == TARGET_ASK && *copyRestAllowed);
    if (continues && size > 0) {
        COMPARE_RESULT kept =
            moving ? CompareFiles_Range(sourceFile, targetPath, 0, size)
                   : CompareFiles_KeptPart(sourceFile, targetPath, size);
        if (kept != COMPARE_EQUAL) {
            *copyRestAllowed = 0;
            return TARGET_ASK;
        }
    }
    return decision;
}

HANDLE DecideExistingTarget(const wchar_t *targetPath,
                            const WIN32_FIND_DATAW *source, HANDLE sourceFile,
                            bool moving, bool *verifiedComplete)
{
    *verifiedComplete = false;
    CopyState.resumeOffset = 0;
    BOOL attributesCleared = FALSE;
    // Each pass looks the target up afresh: after a failed replace the
    // question is asked again about the file as it now is.
    while (!CopyState.stopRequested) {
        WIN32_FIND_DATAW existing = {};
        LOOK_UP_RESULT found = ExistingTarget_LookUp(targetPath, &existing);
        if (found == LOOK_UP_STOPPED)
            break;

        int choice = CHOICE_REPLACE;
        if (found == LOOK_UP_FOUND) {
            if (existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A folder of the file's name can be neither replaced nor
                // continued; opening it would fail for ever.  The user may
                // skip the file, or move the folder away and retry.
                if (!ReportError_Retry(targetPath, ERROR_ALREADY_EXISTS))
                    break;
                continue;
            }
            // A time kept in the volume's coarser steps (FAT, exFAT) counts
            // as the source's; the sizes still decide what is complete.
            uint64_t existingTime = ExistingTarget_WriteTime(&existing);
            uint64_t sourceTime = ExistingTarget_WriteTime(source);
            if (VolumeRules_SameWriteTime(existingTime, sourceTime,
                                          CopyState.targetTimeStep))
                existingTime = sourceTime;
            int copyRestAllowed;
            TARGET_DECISION decision = TargetRules_Decide(
                ExistingTarget_Size(&existing), existingTime,
                ExistingTarget_Size(source), sourceTime, &copyRestAllowed);
            decision = ExistingTarget_CheckBytes(decision, targetPath,
                                                 &existing, sourceFile, moving,
                                                 &copyRestAllowed,
                                                 verifiedComplete);
            if (decision == TARGET_COMPLETE) {
                if (!CopyState.resumedFile)
                    CopyState.doneBytes += ExistingTarget_Size(&existing);
                break;
            }
            if (decision == TARGET_CONTINUE)
                return ExistingTarget_Continue(targetPath, source,
                                               existing.dwFileAttributes);
            choice = ExistingTarget_Ask(&existing, source, copyRestAllowed);
            if (CopyState.stopRequested)
                break;
        }

        if (choice == CHOICE_PASS_OVER)
            break;
        if (choice == CHOICE_COPY_REST)
            return ExistingTarget_Continue(targetPath, source,
                                           existing.dwFileAttributes);
        BOOL passOver;
        HANDLE target = ExistingTarget_Replace(targetPath, source,
                                               &attributesCleared, &passOver);
        if (target != INVALID_HANDLE_VALUE || passOver)
            return target;
    }
    return INVALID_HANDLE_VALUE;
}

HANDLE ContinuePartialTarget(const wchar_t *targetPath,
                             const WIN32_FIND_DATAW *source, HANDLE sourceFile)
{
    CopyState.resumeOffset = 0;
    WIN32_FIND_DATAW existing = {};
    HANDLE search =
        FindFirstFileW(CopyPaths_ForApi(targetPath).c_str(), &existing);
    if (search == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    FindClose(search);
    if (existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return INVALID_HANDLE_VALUE;
    // The time is not asked for: a copy killed inside a write bears the
    // time of that write, not its source's.  The name ties it to this
    // source, and its bytes must be where the source's are.
    uint64_t size = ExistingTarget_Size(&existing);
    if (size == 0 || size >= ExistingTarget_Size(source) ||
        CompareFiles_KeptPart(sourceFile, targetPath, size) != COMPARE_EQUAL)
        return INVALID_HANDLE_VALUE;
    return ExistingTarget_Continue(targetPath, source, existing.dwFileAttributes);
}
