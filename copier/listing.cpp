// Folder listings through the wide-character search calls (see listing.h).
#include "listing.h"

#include "copy_state.h"
#include "entry_rules.h"

bool Listing_NameToAnsi(const WCHAR *wide, char *out, int outSize)
{
    return Listing_NameToAnsiWith(wide, out, outSize, WideCharToMultiByte,
                                  MultiByteToWideChar);
}

bool Listing_NameToAnsiWith(const WCHAR *wide, char *out, int outSize,
                            LISTING_TO_ANSI_FN toAnsi,
                            LISTING_TO_WIDE_FN toWide)
{
    // No flags and no default-character arguments: that is all Windows
    // accepts for CP_UTF8 (and for CP_ACP when the ANSI code page is UTF-8);
    // Wine is more lenient.  Best-fit mapping may turn "ā" into "a" here,
    // which the way back shows.
    int length = toAnsi(CP_ACP, 0, wide, -1, out, outSize, NULL, NULL);
    if (length == 0) {
        // Longer than the ANSI record holds: shown cut, never used.
        out[0] = '\0';
        toAnsi(CP_ACP, 0, wide, -1, out, outSize - 1, NULL, NULL);
        out[outSize - 1] = '\0';
        return false;
    }
    WCHAR back[MAX_PATH];
    int backLength = toWide(CP_ACP, 0, out, -1, back, MAX_PATH);
    if (backLength != 0 && lstrcmpW(back, wide) == 0)
        return true;
    // Shown with question marks, not best-fitted ("ā" would show as "a",
    // the name of another file).  Only code pages other than UTF-8 take
    // the flag, and only they can lose a character.
    if (GetACP() != CP_UTF8)
        toAnsi(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, outSize - 1, NULL,
               NULL);
    out[outSize - 1] = '\0';
    return false;
}

static void Listing_Convert(const WIN32_FIND_DATAW *wide,
                            WIN32_FIND_DATAA *entry, LISTING_NAME *name)
{
    entry->dwFileAttributes = wide->dwFileAttributes;
    entry->ftCreationTime = wide->ftCreationTime;
    entry->ftLastAccessTime = wide->ftLastAccessTime;
    entry->ftLastWriteTime = wide->ftLastWriteTime;
    entry->nFileSizeHigh = wide->nFileSizeHigh;
    entry->nFileSizeLow = wide->nFileSizeLow;
    entry->dwReserved0 = wide->dwReserved0;
    entry->dwReserved1 = wide->dwReserved1;
    if (!Listing_NameToAnsi(wide->cFileName, entry->cFileName,
                            (int)sizeof entry->cFileName))
        *name = LISTING_NAME_NOT_IN_CODE_PAGE;
    else if (EntryRules_NameUnreachable(entry->cFileName))
        *name = LISTING_NAME_UNREACHABLE;
    else
        *name = LISTING_NAME_OK;
    // The 8.3 name is only ever shown; a lossy one does no harm.
    if (!Listing_NameToAnsi(wide->cAlternateFileName,
                            entry->cAlternateFileName,
                            (int)sizeof entry->cAlternateFileName))
        entry->cAlternateFileName[0] = '\0';
}

HANDLE Listing_First(const char *pattern, WIN32_FIND_DATAA *entry,
                     LISTING_NAME *name)
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
        Listing_Convert(&wide, entry, name);
    return search;
}

BOOL Listing_Next(HANDLE search, WIN32_FIND_DATAA *entry, LISTING_NAME *name)
{
    WIN32_FIND_DATAW wide;
    if (!FindNextFileW(search, &wide))
        return FALSE;
    Listing_Convert(&wide, entry, name);
    return TRUE;
}
