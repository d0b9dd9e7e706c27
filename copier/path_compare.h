// How the copier compares paths: the system's ordinal compare, ignoring
// case as the file system does (not only A to Z: "Ä" and "ä", "Д" and "д"
// are one name to NTFS).
#pragma once

#include <cstddef>

// Are `length` units of `a` and `b` the same, case ignored?  The
// PATH_EQUAL_FN of copy_paths.h.
bool PathCompare_Equal(const wchar_t *a, const wchar_t *b, size_t length);
