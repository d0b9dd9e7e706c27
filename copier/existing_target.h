// The existing-target decision: what happens to a target file that already
// exists when the engine tries to create it.  Runner thread.
#pragma once

#include <windows.h>

// Decides about the existing file `targetPath` for the source entry
// `source` (as the engine's folder search returned it).  Returns the target
// opened for writing: at its start for a replace (resumeOffset 0), or at its
// end with resumeOffset set to its size for a continue.  Returns
// INVALID_HANDLE_VALUE when the file is to be passed over (a complete copy,
// a "No" answer, a to-all policy, or a stop requested meanwhile).  Adds to
// doneBytes as the rules say.  (existing_target.cpp)
HANDLE DecideExistingTarget(const char *targetPath,
                            const WIN32_FIND_DATAA *source);
