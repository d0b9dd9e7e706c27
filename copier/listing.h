// Folder listings of the engine and the scanner: the wide-character search
// calls, with every name converted to the ANSI code page the rest of the
// copier works in.  The ANSI search calls convert with best-fit mapping,
// so "ā.txt" would list as "a.txt" (perhaps the name of another file) and
// "日本.txt" as "??.txt"; converting here without best-fit tells such a
// name apart, and the caller passes it over instead of copying the wrong
// file or a file under another name.
#pragma once

#include <windows.h>

// One step of a listing.  `nameLost` is set when the entry's name cannot
// be held by the ANSI code page exactly; `entry->cFileName` then holds a
// text to show for it (question marks where characters were lost), never
// a name to use.
HANDLE Listing_First(const char *pattern, WIN32_FIND_DATAA *entry,
                     bool *nameLost);
BOOL Listing_Next(HANDLE search, WIN32_FIND_DATAA *entry, bool *nameLost);

// "." or "..", the only entries of a listing that are not items.
bool Listing_IsSelfOrParent(const char *name);
