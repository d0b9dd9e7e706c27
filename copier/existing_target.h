// The existing-target decision: what happens to a target file that already
// exists when the engine tries to create it.  Runner thread.  Called by the
// walk (copy_tree_file.cpp); calls only the file-level pieces (file_copy,
// compare_files) below it.
#pragma once

#include <windows.h>

// Decides about the existing file `targetPath` for the source entry
// `source` (as the engine's folder search returned it), whose file is open
// for reading as `sourceFile` so that a target's kept part is compared
// with the source before it is continued, and a complete one in full
// before a move deletes its source (`moving`).  Returns the target opened
// for writing: at its start for a replace (resumeOffset 0), or at its end
// with resumeOffset set to its size for a continue.  Returns
// INVALID_HANDLE_VALUE when the file is to be passed over (a complete
// copy, a "No" answer, a to-all policy, a skip after a failure, or a stop
// requested meanwhile); `verifiedComplete` then tells whether the target
// was a complete copy whose bytes were compared equal (move mode only: the
// source may go).  Adds to doneBytes as the rules say.
HANDLE DecideExistingTarget(const wchar_t *targetPath,
                            const WIN32_FIND_DATAW *source, HANDLE sourceFile,
                            bool moving, bool *verifiedComplete);

// Opens `targetPath` (the newest "Copy of" name of the source in a
// relaunched job) at its end when it is a partial copy of this source:
// smaller than it, and its kept part equal to the source's at the same
// offsets.  Returns INVALID_HANDLE_VALUE, touching nothing, when it is
// anything else.  Sets resumeOffset and adds to doneBytes as a continue
// does.
HANDLE ContinuePartialTarget(const wchar_t *targetPath,
                             const WIN32_FIND_DATAW *source, HANDLE sourceFile);
