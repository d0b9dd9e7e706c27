// Folder listings (see listing.h).
#include "listing.h"

#include "copy_paths.h"

HANDLE Listing_First(const wchar_t *pattern, WIN32_FIND_DATAW *entry)
{
    return FindFirstFileW(CopyPaths_ForApi(pattern).c_str(), entry);
}

BOOL Listing_Next(HANDLE search, WIN32_FIND_DATAW *entry)
{
    return FindNextFileW(search, entry);
}
