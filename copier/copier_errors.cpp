// Texts of the copier's own failure codes (see copier_errors.h).
#include "copier_errors.h"

const char *CopierErrors_Text(DWORD code)
{
    switch (code) {
    case COPIER_ERROR_SIZE_MISMATCH:
        return "The copy does not hold as many bytes as the source, so the "
               "source is kept.";
    case COPIER_ERROR_TOO_LARGE_FOR_FAT:
        return "The file is 4 GB or larger, and the target drive's file "
               "system (FAT) can't hold a file that large.";
    case COPIER_ERROR_NAME_UNREACHABLE:
        return "The name ends with a dot or a blank, which Windows can't "
               "open exactly; another file's name would be used instead.";
    }
    return NULL;
}
