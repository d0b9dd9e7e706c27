// The existing-target decision: what happens to a target file that already
// exists when the engine tries to create it.  Runner thread.
#pragma once

#include <windows.h>

// Decides about the existing file `targetPath` for the source entry
// `source` (as the engine's folder search returned it), whose file is open
// for reading as `sourceFile` so that a target is compared byte for byte
// before it is continued, or before a move deletes the source of a target
// found complete.  Returns the target
// opened for writing: at its start for a replace (resumeOffset 0), or at its
// end with resumeOffset set to its size for a continue.  Returns
// INVALID_HANDLE_VALUE when the file is to be passed over (a complete copy,
// a "No" answer, a to-all policy, or a stop requested meanwhile);
// `verifiedComplete` then tells whether the target was a complete copy
// whose bytes were compared equal (move mode only: the source may go).
// Adds to doneBytes as the rules say.  (existing_target.cpp)
HANDLE DecideExistingTarget(const char *targetPath,
                            const WIN32_FIND_DATAA *source, HANDLE sourceFile,
                            bool *verifiedComplete);

// Opens `targetPath` (a "Copy of" name of the source) at its end when it
// is a verified partial copy of the source: smaller than it, and its last
// bytes equal to the source's at the same offsets.  Returns INVALID_HANDLE_VALUE,
// touching nothing, when it is anything else.  Sets resumeOffset and adds
// to doneBytes as a continue does.  (existing_target.cpp)
HANDLE ContinuePartialTarget(const char *targetPath,
                             const WIN32_FIND_DATAA *source, HANDLE sourceFile);
