// Path rules of the engine and the scanner: joining with length checks,
// share roots, "Copy of" names, the target-inside-source test, parents and
// the long form the W functions take.  Plain text functions with no Win32
// call, so they build natively for tests.  Paths are UTF-16 (wchar_t).
#pragma once

#include <cstddef>
#include <string>

enum {
    // The W functions take paths of up to 32767 units through "\\?\"; the
    // longest prefix ("\\?\UNC\") takes 8 of them.  A longer path is
    // refused before any call, never cut short.
    COPY_PATH_SYSTEM_LIMIT = 32767 - 8,
};

// Case-insensitive equality of `length` units of `a` and `b`: the system's
// ordinal compare in the copier (path_compare.h), a plain one in tests.
typedef bool (*PATH_EQUAL_FN)(const wchar_t *a, const wchar_t *b,
                              size_t length);

// `folder` + "\" + `name` into `out`.  Returns false, leaving `out` empty,
// when the result would reach COPY_PATH_SYSTEM_LIMIT units.
bool CopyPaths_Join(std::wstring *out, const wchar_t *folder,
                    const wchar_t *name);

// Backslashes in a path that begins with two of them; 0 for any other.
int CopyPaths_ShareBackslashes(const wchar_t *path);

// \\server\share exactly (three backslashes).
bool CopyPaths_IsShareRoot(const wchar_t *path);

// The text after the last backslash (the whole path if there is none).
const wchar_t *CopyPaths_LastName(const wchar_t *path);

// "Copy of NAME" (counter 0) or "Copy (COUNTER) of NAME" in `folder`.
// Returns false, leaving `out` empty, when the path would be too long.
bool CopyPaths_CopyOfName(std::wstring *out, const wchar_t *folder,
                          const wchar_t *name, int counter);

// Same-drive move: "X:\..." source and a target folder beginning with the
// same character (letter case counts, as the rename test has always done).
bool CopyPaths_IsSameDriveMove(const wchar_t *source,
                               const wchar_t *targetFolder);

// Does `folder` equal `source` or lie below it?  Letters compare by
// `equal`, '/' counts as '\', trailing backslashes are ignored, and a match
// must end on a path-component boundary (c:\a holds c:\a\b, not c:\ab).
bool CopyPaths_IsInside(const wchar_t *folder, const wchar_t *source,
                        PATH_EQUAL_FN equal);

// Equal paths, letters compared by `equal`.
bool CopyPaths_SamePath(const wchar_t *a, const wchar_t *b, PATH_EQUAL_FN equal);

// Cuts `path` to its parent folder: "c:\a\b" becomes "c:\a", "c:\a"
// becomes "c:\", "\\server\share\a" becomes "\\server\share".  Returns
// false, leaving `path` alone, at a drive root or share root (or a path
// without any folder above it).
bool CopyPaths_Parent(std::wstring *path);

// The form the W functions are given: "\\?\X:\..." for a drive path and
// "\\?\UNC\server\share\..." for a network path, so that paths of any
// length work and names ending in a dot or a blank are taken exactly as
// they are; any other path (already "\\?\", relative) unchanged.
std::wstring CopyPaths_ForApi(const wchar_t *path);
