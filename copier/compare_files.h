// Byte comparisons between a source file and its target, made before the
// engine continues a target or deletes a moved source: the same name, size
// and last-write time do not prove that a file is a copy of this source.
// Runner thread (they use the transfer buffer).
#pragma once

#include <windows.h>

#include <cstdint>

enum COMPARE_RESULT {
    COMPARE_EQUAL,       // the bytes compared are the same
    COMPARE_DIFFERENT,   // they differ, or could not all be read
    COMPARE_SAME_FILE,   // both names lead to one file: nothing to compare
};

// Compares the last bytes of the target file `targetPath` (at most one
// chunk, counted from its end at `targetSize`) with the source's bytes at
// the same offsets.  `source` is open for reading; its file position is
// left undefined.  (compare_files.cpp)
COMPARE_RESULT CompareFiles_Tail(HANDLE source, const char *targetPath,
                                 uint64_t targetSize);

// Compares the whole target file with the whole source (`size` bytes each).
COMPARE_RESULT CompareFiles_Whole(HANDLE source, const char *targetPath,
                                  uint64_t size);
