// Folder listings of the engine and the scanner: the wide-character search
// calls, with every name converted to the ANSI code page the rest of the
// copier works in.  The ANSI search calls convert with best-fit mapping,
// so "ā.txt" would list as "a.txt" (perhaps the name of another file) and
// "日本.txt" as "??.txt"; converting here and back tells such a name apart,
// and the caller passes it over instead of copying the wrong file or a
// file under another name.
#pragma once

#include <windows.h>

enum LISTING_NAME {
    LISTING_NAME_OK,
    LISTING_NAME_NOT_IN_CODE_PAGE,  // the ANSI code page can't hold it
    LISTING_NAME_UNREACHABLE,       // it ends with a dot or a blank
};

// One step of a listing.  For a name that is not LISTING_NAME_OK,
// `entry->cFileName` holds a text to show for it (question marks where
// characters were lost), never a name to use.  `entry->dwReserved0` holds
// the reparse tag of a reparse point.
HANDLE Listing_First(const char *pattern, WIN32_FIND_DATAA *entry,
                     LISTING_NAME *name);
BOOL Listing_Next(HANDLE search, WIN32_FIND_DATAA *entry, LISTING_NAME *name);

// Converts `wide` into the ANSI code page; returns false when it does not
// come back exactly.  The check converts back and compares, which holds in
// every code page: with UTF-8 as the ANSI code page Windows refuses the
// flags that would report a lossy conversion.  (listing.cpp)
bool Listing_NameToAnsi(const WCHAR *wide, char *out, int outSize);

// The same with the two conversion calls given, so a test can hold the
// check to Windows' documented rules where Wine is more lenient.
typedef int(WINAPI *LISTING_TO_ANSI_FN)(UINT, DWORD, LPCWCH, int, LPSTR, int,
                                        LPCCH, LPBOOL);
typedef int(WINAPI *LISTING_TO_WIDE_FN)(UINT, DWORD, LPCCH, int, LPWSTR, int);
bool Listing_NameToAnsiWith(const WCHAR *wide, char *out, int outSize,
                            LISTING_TO_ANSI_FN toAnsi,
                            LISTING_TO_WIDE_FN toWide);
