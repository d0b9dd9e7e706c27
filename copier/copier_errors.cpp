// Texts of the copier's own failure codes (see copier_errors.h).
#include "copier_errors.h"

const wchar_t *CopierErrors_Text(DWORD code)
{
    switch (code) {
    case COPIER_ERROR_SIZE_MISMATCH:
        return L"The copy does not hold as many bytes as the source, so the "
               L"source is kept.";
    case COPIER_ERROR_TOO_LARGE_FOR_FAT:
        return L"The file is 4 GB or larger, and the target drive's file "
               L"system (FAT) can't hold a file that large.";
    }
    return NULL;
}
