// The system's ordinal, case-insensitive compare of paths (see
// path_compare.h).
#include "path_compare.h"

#include <windows.h>

bool PathCompare_Equal(const wchar_t *a, const wchar_t *b, size_t length)
{
    // CompareStringOrdinal takes int lengths; longer texts are compared in
    // pieces (a path never needs more than one).
    while (length > 0) {
        int piece = length > 0x40000000 ? 0x40000000 : (int)length;
        if (CompareStringOrdinal(a, piece, b, piece, TRUE) != CSTR_EQUAL)
            return false;
        a += piece;
        b += piece;
        length -= (size_t)piece;
    }
    return true;
}
