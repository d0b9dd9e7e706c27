// Folder listings of the engine and the scanner, through the wide search
// calls and the long path form, so that every name comes as it is - any
// script, any length, a dot or blank at its end - and is used as it is.
#pragma once

#include <windows.h>

// Starts a search of `pattern` (a path, or a folder + "\*").  The entry's
// `dwReserved0` holds the reparse tag of a reparse point.
HANDLE Listing_First(const wchar_t *pattern, WIN32_FIND_DATAW *entry);
BOOL Listing_Next(HANDLE search, WIN32_FIND_DATAW *entry);
