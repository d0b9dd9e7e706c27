// Folder listings through the wide-character search calls (see listing.h).
#include "listing.h"

#include "copy_state.h"

// Converts one name; returns false when it does not survive exactly.
static bool Listing_ToAnsi(const WCHAR *wide, char *out, int outSize)
{
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1,
                                     out, outSize, NULL, &usedDefault);
    if (length == 0) {
        // Longer than the ANSI record holds: shown cut, never used.
        WideCharToMultiByte(CP_ACP, 0, wide, -1, out, outSize, NULL, NULL);
        out[outSize - 1] = '\0';
        return false;
    }
    return !usedDefault;
}

static void Listing_Convert(const WIN32_FIND_DATAW *wide,
                            WIN32_FIND_DATAA *entry, bool *nameLost)
{
    entry->dwFileAttributes = wide->dwFileAttributes;
    entry->ftCreationTime = wide->ftCreationTime;
    entry->ftLastAccessTime = wide->ftLastAccessTime;
    entry->ftLastWriteTime = wide->ftLastWriteTime;
    entry->nFileSizeHigh = wide->nFileSizeHigh;
    entry->nFileSizeLow = wide->nFileSizeLow;
    entry->dwReserved0 = wide->dwReserved0;
    entry->dwReserved1 = wide->dwReserved1;
    *nameLost = !Listing_ToAnsi(wide->cFileName, entry->cFileName,
                                (int)sizeof entry->cFileName);
    // The 8.3 name is only ever shown; a lossy one does no harm.
    if (!Listing_ToAnsi(wide->cAlternateFileName, entry->cAlternateFileName,
                        (int)sizeof entry->cAlternateFileName))
        entry->cAlternateFileName[0] = '\0';
}

HANDLE Listing_First(const char *pattern, WIN32_FIND_DATAA *entry,
                     bool *nameLost)
{
    // The pattern comes from the job and from names that survived this
    // conversion, so it widens exactly.
    WCHAR widePattern[COPIER_PATH_CHARS];
    if (!MultiByteToWideChar(CP_ACP, 0, pattern, -1, widePattern,
                             COPIER_PATH_CHARS))
        return INVALID_HANDLE_VALUE;   // its error stays for the caller
    WIN32_FIND_DATAW wide;
    HANDLE search = FindFirstFileW(widePattern, &wide);
    if (search != INVALID_HANDLE_VALUE)
        Listing_Convert(&wide, entry, nameLost);
    return search;
}

BOOL Listing_Next(HANDLE search, WIN32_FIND_DATAA *entry, bool *nameLost)
{
    WIN32_FIND_DATAW wide;
    if (!FindNextFileW(search, &wide))
        return FALSE;
    Listing_Convert(&wide, entry, nameLost);
    return TRUE;
}

bool Listing_IsSelfOrParent(const char *name)
{
    return name[0] == '.' &&
           (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
