// Path rules of the engine and the scanner: joining with length checks,
// share roots, "Copy of" names and the target-inside-source test.  Plain
// text functions with no Win32 call, so they build natively for tests.
#pragma once

#include <cstddef>

enum {
    // The ANSI file functions take paths of fewer than MAX_PATH characters;
    // a longer one is refused before any call, never cut short.
    COPY_PATH_SYSTEM_LIMIT = 260,
};

// Writes `folder` + "\" + `name` into `out` (`outSize` bytes).  Returns
// false, leaving `out` empty, when the result would have `limit` characters
// or more or would not fit `out`.
bool CopyPaths_Join(char *out, size_t outSize, const char *folder,
                    const char *name, size_t limit);

// Copies `path` into `out` under the same rules as CopyPaths_Join.
bool CopyPaths_Copy(char *out, size_t outSize, const char *path, size_t limit);

// Backslashes in a path that begins with two of them; 0 for any other.
int CopyPaths_ShareBackslashes(const char *path);

// \\server\share exactly (three backslashes).
bool CopyPaths_IsShareRoot(const char *path);

// The text after the last backslash (the whole path if there is none).
const char *CopyPaths_LastName(const char *path);

// "Copy of NAME" (counter 0) or "Copy (COUNTER) of NAME" in `folder`.
// Returns false, leaving `out` empty, when the name does not fit `limit`.
bool CopyPaths_CopyOfName(char *out, size_t outSize, const char *folder,
                          const char *name, int counter, size_t limit);

// Same-drive move: "X:\..." source and a target folder beginning with the
// same byte (letter case counts, as the rename test has always done).
bool CopyPaths_IsSameDriveMove(const char *source, const char *targetFolder);

// Does `folder` equal `source` or lie below it?  Letters compare without
// case, '/' counts as '\', trailing backslashes are ignored, and a match
// must end on a path-component boundary (c:\a holds c:\a\b, not c:\ab).
bool CopyPaths_IsInside(const char *folder, const char *source);

// Equal paths, letters compared without case (A to Z only).
bool CopyPaths_SamePath(const char *a, const char *b);

// Cuts `path` to its parent folder in place: "c:\a\b" becomes "c:\a",
// "c:\a" becomes "c:\", "\\server\share\a" becomes "\\server\share".
// Returns false, leaving `path` alone, at a drive root or share root (or a
// path without any folder above it).
bool CopyPaths_Parent(char *path);
