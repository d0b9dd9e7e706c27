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

// Compares the kept part of a target file (its first `keptSize` bytes)
// with the source at the same offsets, before the target is continued:
// its first and its last chunk and sixteen samples spread evenly between
// them, so that the rest of a source is never joined to another file's
// head.  `source` is open for reading; its file position is left
// undefined.  (compare_files.cpp)
COMPARE_RESULT CompareFiles_KeptPart(HANDLE source, const wchar_t *targetPath,
                                     uint64_t keptSize);

// Compares bytes `offset` to `offset` + `length` of both files.
COMPARE_RESULT CompareFiles_Range(HANDLE source, const wchar_t *targetPath,
                                  uint64_t offset, uint64_t length);

