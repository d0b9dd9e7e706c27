// The copier's own failure codes, for failures the system has no code for.
// They carry the customer bit (29), so they never clash with a system code,
// and ReportError shows their texts as it shows the system's.
#pragma once

#include <windows.h>

enum : DWORD {
    COPIER_ERROR_BASE = 0x20000000,
    // A move's copy does not end where its source does: the source stays.
    COPIER_ERROR_SIZE_MISMATCH = COPIER_ERROR_BASE + 1,
    // 4 GiB or more onto a FAT file system.
    COPIER_ERROR_TOO_LARGE_FOR_FAT = COPIER_ERROR_BASE + 3,
};

// The text of one of the codes above, or NULL for any other code.
const wchar_t *CopierErrors_Text(DWORD code);
