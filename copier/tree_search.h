// The walk's listing of one folder (or the search of one dragged item),
// with the recovery of a listing whose handle went bad.  Runner thread.
#pragma once

#include <windows.h>

#include <string>

// `delivered` and `gone` let a listing whose handle went bad be reopened
// at the entry where it stood: entries handled and still present are
// stepped over, entries this run deleted or removed are no longer there.
struct TREE_SEARCH {
    HANDLE handle;
    std::wstring pattern;
    bool listing;                 // "%s\*" rather than the item itself
    int delivered;                // entries the search has returned
    int gone;                     // of those, deleted or removed by the move
};

// Opens the search of `search->pattern`; a failure is reported with a skip
// offered, under `sourcePath`.  Returns false when the item or folder is
// passed over (or the job stopped).
bool TreeSearch_Open(const wchar_t *sourcePath, TREE_SEARCH *search,
                     WIN32_FIND_DATAW *entry);

// Steps to the next entry, counting visitedEntries.  Returns false at the
// end of the listing, on a stop, or when the rest of the folder is given
// up; the search is closed then.
bool TreeSearch_Next(const wchar_t *sourcePath, TREE_SEARCH *search,
                     WIN32_FIND_DATAW *entry);

// Closes the search if it is still open.
void TreeSearch_Close(TREE_SEARCH *search);
