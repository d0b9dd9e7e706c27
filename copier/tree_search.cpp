// The walk's folder listings (see tree_search.h).
#include "tree_search.h"

#include "copy_state.h"
#include "engine.h"
#include "listing.h"

bool TreeSearch_Open(const wchar_t *sourcePath, TREE_SEARCH *search,
                     WIN32_FIND_DATAW *entry)
{
    for (;;) {
        search->handle = Listing_First(search->pattern.c_str(), entry);
        if (search->handle != INVALID_HANDLE_VALUE) {
            search->delivered = 1;
            search->gone = 0;
            return true;
        }
        if (!ReportError_Retry(sourcePath, GetLastError()))
            return false;
    }
}

// The listing's handle went bad: open it again and step over the entries
// already handled that are still there, so that no entry is lost or done
// twice.  Returns false when nothing is left (or the job stopped).
static bool TreeSearch_Reopen(const wchar_t *sourcePath, TREE_SEARCH *search,
                              WIN32_FIND_DATAW *entry)
{
    if (!search->listing)
        return false;       // the single item was handled already
    int handled = search->delivered - search->gone;
    for (;;) {
        if (!TreeSearch_Open(sourcePath, search, entry))
            return false;
        int stepped = 1;
        while (stepped <= handled &&
               Listing_Next(search->handle, entry))
            stepped++;
        if (stepped > handled) {
            search->delivered = handled + 1;
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_INVALID_HANDLE)     // a bad handle is not closed
            FindClose(search->handle);
        search->handle = INVALID_HANDLE_VALUE;
        if (error == ERROR_NO_MORE_FILES || CopyState.stopRequested)
            return false;
        if (error != ERROR_INVALID_HANDLE &&
            !ReportError_Retry(sourcePath, error))
            return false;
        // Start once more and step over the same entries.
    }
}

bool TreeSearch_Next(const wchar_t *sourcePath, TREE_SEARCH *search,
                     WIN32_FIND_DATAW *entry)
{
    for (;;) {
        BOOL found = Listing_Next(search->handle, entry);
        CopyState.visitedEntries++;
        if (found) {
            search->delivered++;
            return true;
        }
        DWORD error = GetLastError();
        if (error == ERROR_NO_MORE_FILES)
            break;
        if (error == ERROR_INVALID_HANDLE) {
            search->handle = INVALID_HANDLE_VALUE;
            return TreeSearch_Reopen(sourcePath, search, entry);
        }
        // A skip is offered so that "skip all" gives up a listing that
        // keeps failing instead of stepping again without end.
        if (!ReportError_Retry(sourcePath, error))
            break;
    }
    TreeSearch_Close(search);
    return false;
}

void TreeSearch_Close(TREE_SEARCH *search)
{
    if (search->handle != INVALID_HANDLE_VALUE)
        FindClose(search->handle);
    search->handle = INVALID_HANDLE_VALUE;
}
