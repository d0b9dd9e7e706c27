// The copy of one file: creating or opening its target, the chunk loop
// through the one transfer buffer (to the source's real end, continuing
// from resumeOffset), sizes, times and the delete of a moved source.  The
// walk (copy_tree*.cpp) and the existing-target decision call these; they
// call neither.  Runner thread.
#pragma once

#include <windows.h>

#include <cstdint>

// A new target (CREATE_NEW) with the source's attributes.
HANDLE FileCopy_CreateNew(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry);

// The target cut to nothing (CREATE_ALWAYS), for a replace.
HANDLE FileCopy_Replace(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry);

// The existing target opened for writing at its real end, which goes into
// `end`.  One attempt: INVALID_HANDLE_VALUE with the error in
// GetLastError on failure.
HANDLE FileCopy_OpenAtEnd(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry,
                          uint64_t *end);

// The source opened for reading.
HANDLE FileCopy_OpenSource(const wchar_t *sourcePath);

// Gives the target the source's three times.
void FileCopy_SetTimes(HANDLE target, const WIN32_FIND_DATAW *entry);

enum FILE_TRANSFER {
    TRANSFER_DONE,      // the source's end was reached
    TRANSFER_STOPPED,   // a stop was requested: the target stays partial
    TRANSFER_FAILED,    // a read or write failed: see `error`
};

// Copies the source from resumeOffset to its end into the target, chunk by
// chunk, throttled, pausing and stopping between chunks.  Reads go on until
// a read returns nothing: a read that returns less than asked before the
// end (a network file, a pipe) is not taken for the end.  On failure,
// `error` and `failedOnTarget` say what failed.
FILE_TRANSFER FileCopy_Transfer(HANDLE source, HANDLE target,
                                const WIN32_FIND_DATAW *entry, DWORD *error,
                                bool *failedOnTarget);

// A continued or replaced copy (opened as it was, perhaps without the
// source's attributes)
// gets the source's hidden and system attributes if it lacks them: a copy
// cut short between its creation and its attributes (Wine gives them in a
// second step) would otherwise end as a plain file.  Read-only stays as
// the continue left it.
void FileCopy_KeepHiddenAndSystem(const wchar_t *targetPath,
                                  const WIN32_FIND_DATAW *entry);

// Does the target hold exactly as many bytes as the source?
bool FileCopy_SameSize(HANDLE source, HANDLE target);

// One attempt to delete a moved source (a read-only one has its attribute
// cleared first).  Returns NO_ERROR only when the file is gone.
DWORD FileCopy_DeleteSource(const wchar_t *sourcePath, DWORD attributes);

// After a copy's times were set and it was closed: reads its last-write
// time back once per job, and learns from a rounded one the step in which
// the target volume keeps times (CopyState.targetTimeStep).
void FileCopy_LearnTimeStep(const wchar_t *targetPath, const WIN32_FIND_DATAW *entry);
