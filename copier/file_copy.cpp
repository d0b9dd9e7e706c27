// The copy of one file (see file_copy.h).
#include "file_copy.h"

#include "copy_paths.h"
#include "copy_state.h"
#include "engine.h"
#include "entry_rules.h"
#include "volume_rules.h"

enum {
    TRANSFER_PAUSE_STEP_MS = 50,
};

static DWORD FileCopy_CreationAttributes(const WIN32_FIND_DATAW *entry)
{
    return EntryRules_CreationAttributes(entry->dwFileAttributes);
}

HANDLE FileCopy_CreateNew(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry)
{
    return CreateFileW(CopyPaths_ForApi(targetPath).c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, NULL,
                       CREATE_NEW, FileCopy_CreationAttributes(entry), NULL);
}

HANDLE FileCopy_Replace(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry)
{
    return CreateFileW(CopyPaths_ForApi(targetPath).c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, NULL,
                       CREATE_ALWAYS, FileCopy_CreationAttributes(entry), NULL);
}

HANDLE FileCopy_OpenAtEnd(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry,
                          uint64_t *end)
{
    HANDLE target = CreateFileW(CopyPaths_ForApi(targetPath).c_str(), GENERIC_WRITE, FILE_SHARE_WRITE,
                                NULL, OPEN_EXISTING,
                                FileCopy_CreationAttributes(entry), NULL);
    if (target == INVALID_HANDLE_VALUE)
        return target;
    // The real end, not a size looked up before: the source is read from
    // exactly where the target stops.
    LARGE_INTEGER zero = {}, position = {};
    if (!SetFilePointerEx(target, zero, &position, FILE_END)) {
        DWORD error = GetLastError();
        CloseHandle(target);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    *end = (uint64_t)position.QuadPart;
    return target;
}

HANDLE FileCopy_OpenSource(const wchar_t *sourcePath)
{
    return CreateFileW(CopyPaths_ForApi(sourcePath).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

void FileCopy_SetTimes(HANDLE target, const WIN32_FIND_DATAW *entry)
{
    SetFileTime(target, &entry->ftCreationTime, &entry->ftLastAccessTime,
                &entry->ftLastWriteTime);
}

FILE_TRANSFER FileCopy_Transfer(HANDLE source, HANDLE target,
                                const WIN32_FIND_DATAW *entry, DWORD *error,
                                bool *failedOnTarget)
{
    // Always placed: the comparisons before a decision read the source too.
    // A source that can't seek (a pipe, a device) was never read before
    // and is copied from its start.
    LARGE_INTEGER offset;
    offset.QuadPart = (LONGLONG)CopyState.resumeOffset;
    if (!SetFilePointerEx(source, offset, NULL, FILE_BEGIN) &&
        offset.QuadPart != 0) {
        *error = GetLastError();
        *failedOnTarget = false;
        return TRANSFER_FAILED;
    }
    for (;;) {
        if (CopyState.stopRequested)
            return TRANSFER_STOPPED;
        DWORD asked = (DWORD)CopyState.chunkSize.load();
        if (asked == 0 || asked > TRANSFER_BUFFER_SIZE)
            asked = TRANSFER_BUFFER_SIZE;
        DWORD got = 0;
        if (!ReadFile(source, CopyState.transferBuffer, asked, &got, NULL)) {
            *error = GetLastError();
            *failedOnTarget = false;
            return TRANSFER_FAILED;
        }
        if (got == 0)
            return TRANSFER_DONE;   // the end of the file, and only that
        // The speed limit: may wait here until the monitor's refill covers
        // the bytes just read.
        if (CopyState.speedLimit != 0)
            Throttle((int)got);
        DWORD wrote = 0;
        BOOL written =
            WriteFile(target, CopyState.transferBuffer, got, &wrote, NULL);
        CopyState.doneBytes += wrote;
        CopyState.windowBytes += wrote;
        if (!written || wrote != got) {
            // A disk file that takes fewer bytes than given is full.
            *error = written ? ERROR_DISK_FULL : GetLastError();
            *failedOnTarget = true;
            return TRANSFER_FAILED;
        }
        // A copier that is killed or loses power closes nothing: the target
        // must bear the source's times between chunks already, or the next
        // run would take it for a foreign file and ask.
        FileCopy_SetTimes(target, entry);
        WaitWhilePaused(TRANSFER_PAUSE_STEP_MS);
    }
}

void FileCopy_KeepHiddenAndSystem(const wchar_t *targetPath,
                                  const WIN32_FIND_DATAW *entry)
{
    std::wstring path = CopyPaths_ForApi(targetPath);
    DWORD attributes = GetFileAttributesW(path.c_str());
    DWORD wanted = entry->dwFileAttributes &
                   (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & wanted) == wanted)
        return;
    attributes &= ~FILE_ATTRIBUTE_NORMAL;
    SetFileAttributesW(path.c_str(), attributes | wanted);
}

static bool FileCopy_Size(HANDLE file, uint64_t *size)
{
    LARGE_INTEGER value;
    if (!GetFileSizeEx(file, &value))
        return false;
    *size = (uint64_t)value.QuadPart;
    return true;
}

bool FileCopy_SameSize(HANDLE source, HANDLE target)
{
    uint64_t sourceSize, targetSize;
    return FileCopy_Size(source, &sourceSize) &&
           FileCopy_Size(target, &targetSize) && sourceSize == targetSize;
}

DWORD FileCopy_DeleteSource(const wchar_t *sourcePath, DWORD attributes)
{
    std::wstring path = CopyPaths_ForApi(sourcePath);
    BOOL deleted = DeleteFileW(path.c_str());
    DWORD error = deleted ? NO_ERROR : GetLastError();
    if (error == ERROR_ACCESS_DENIED &&
        (attributes & FILE_ATTRIBUTE_READONLY) &&
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) {
        deleted = DeleteFileW(path.c_str());
        error = deleted ? NO_ERROR : GetLastError();
    }
    // Some file systems answer TRUE and keep the file (an immutable one):
    // only a file that is gone counts.
    if (deleted && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        error = ERROR_ACCESS_DENIED;
    return error;
}

void FileCopy_LearnTimeStep(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry)
{
    if (CopyState.targetTimeStepKnown)
        return;
    WIN32_FILE_ATTRIBUTE_DATA stored;
    if (!GetFileAttributesExW(CopyPaths_ForApi(targetPath).c_str(),
                              GetFileExInfoStandard, &stored))
        return;
    uint64_t set = ((uint64_t)entry->ftLastWriteTime.dwHighDateTime << 32) |
                   entry->ftLastWriteTime.dwLowDateTime;
    uint64_t readBack =
        ((uint64_t)stored.ftLastWriteTime.dwHighDateTime << 32) |
        stored.ftLastWriteTime.dwLowDateTime;
    uint64_t step = VolumeRules_TimeStepFromReadBack(set, readBack);
    if (step != TIME_STEP_EXACT) {
        CopyState.targetTimeStep = step;
        CopyState.targetTimeStepKnown = 1;
    } else if (readBack == set && set % TIME_STEP_EXFAT != 0) {
        // Kept to the 100 ns: an exact volume.  A time that lies on a grid
        // already comes back unchanged from any volume and tells nothing.
        CopyState.targetTimeStep = TIME_STEP_EXACT;
        CopyState.targetTimeStepKnown = 1;
    }
}
