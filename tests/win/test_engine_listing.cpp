// Folder listings that fail under the engine and the scanner, provoked by
// wrapping the search calls of the real copy_tree.cpp and scan_tree.cpp:
// a listing handle that goes bad midway loses and repeats no entry, and a
// search that keeps failing under "skip all" is given up, not repeated
// without end.  The error dialog is replaced by a recorder whose answers
// follow ReportError's contract (skipCurrentFile 1 pass over, 0 retry).
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

// --- the wrapped search calls -----------------------------------------------

static int g_nextCalls;                 // FindNextFileW calls so far
static std::set<int> g_invalidateAt;    // calls that find the handle gone bad
static DWORD g_nextFailure;             // when not 0: every call fails so
static int g_firstFailuresLeft;         // FindFirstFileW calls still to fail
static DWORD g_firstFailure;

static BOOL WINAPI Test_FindNextFileW(HANDLE search, WIN32_FIND_DATAW *found)
{
    g_nextCalls++;
    if (g_invalidateAt.count(g_nextCalls)) {
        FindClose(search);
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (g_nextFailure) {
        SetLastError(g_nextFailure);
        return FALSE;
    }
    return FindNextFileW(search, found);
}

static HANDLE WINAPI Test_FindFirstFileW(const WCHAR *pattern,
                                         WIN32_FIND_DATAW *found)
{
    if (g_firstFailuresLeft > 0) {
        g_firstFailuresLeft--;
        SetLastError(g_firstFailure);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileW(pattern, found);
}

#define FindNextFileW Test_FindNextFileW
#define FindFirstFileW Test_FindFirstFileW
#include "ascii_case.cpp"
#include "compare_files.cpp"
#include "control.cpp"
#include "copier_errors.cpp"
#include "copy_paths.cpp"
#include "copy_state.cpp"
#include "path_compare.cpp"
#include "copy_tree.cpp"
#include "copy_tree_file.cpp"
#include "entry_rules.cpp"
#include "file_copy.cpp"
#include "file_identity.cpp"
#include "listing.cpp"
#include "scan_tree.cpp"
#include "skipped_items.cpp"
#include "speed_limit.cpp"
#include "speed_table.cpp"
#include "tree_search.cpp"
#include "volume_rules.cpp"
#undef FindNextFileW
#undef FindFirstFileW

#include "job_file.h"
#include "test_files.h"
#include "ui_driver.h"
#include "wide_files.h"

// --- stand-ins for the dialogs ------------------------------------------------

static int g_reports;
static DWORD g_lastReportedError;
static int g_decisions;

void ReportError(const wchar_t *, DWORD errorCode)
{
    g_reports++;
    g_lastReportedError = errorCode;
    // As the real one: "skip all" takes a skip where one is offered;
    // otherwise this recorder answers retry.
    if (!CopyState.skipAllErrors)
        CopyState.skipCurrentFile = 0;
}

bool ReportError_Retry(const wchar_t *pathText, DWORD errorCode)
{
    CopyState.skipCurrentFile = 1;
    ReportError(pathText, errorCode);
    bool skipped = CopyState.skipCurrentFile != 0;
    CopyState.skipCurrentFile = 0;
    return !skipped && !CopyState.stopRequested;
}

HANDLE DecideExistingTarget(const wchar_t *, const WIN32_FIND_DATAW *, HANDLE,
                            bool, bool *verifiedComplete)
{
    g_decisions++;    // only a file handled twice meets its own target
    *verifiedComplete = false;
    return INVALID_HANDLE_VALUE;
}

HANDLE ContinuePartialTarget(const wchar_t *, const WIN32_FIND_DATAW *, HANDLE)
{
    return INVALID_HANDLE_VALUE;
}

namespace {

const int FILE_COUNT = 30;

std::string Listing_Name(int i)
{
    return "f" + std::to_string(100 + i) + ".txt";
}

class EngineListing : public ::testing::Test, protected FILES_SCENE {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Files_NewScene(Files_TestName(), this));
        for (int i = 0; i < FILE_COUNT; i++)
            ASSERT_TRUE(Driver_WriteFile(Files_Join(src, Listing_Name(i)),
                                         "content " + Listing_Name(i)));
        CopyState_Reset();
        static uint8_t buffer[TRANSFER_BUFFER_SIZE];
        CopyState.transferBuffer = buffer;
        g_nextCalls = 0;
        g_invalidateAt.clear();
        g_nextFailure = 0;
        g_firstFailuresLeft = 0;
        g_reports = 0;
        g_decisions = 0;
    }
    // Copies (or moves) the folder src as a dragged item into dst.
    void RunCopyTree(int mode)
    {
        CopyState.copyMode = mode;
        lstrcpynW(CopyState.currentSource, Driver_Wide(src).c_str(),
                  COPIER_PATH_CHARS);
        CopyState.topLevel = 1;
        CopyTree(Driver_Wide(src).c_str(), Driver_Wide(dst).c_str());
    }
    void ExpectEveryFileOnce()
    {
        std::string copied = Files_Join(dst, "src");
        for (int i = 0; i < FILE_COUNT; i++) {
            std::string content;
            EXPECT_TRUE(
                Driver_ReadFile(Files_Join(copied, Listing_Name(i)), &content))
                << Listing_Name(i);
            EXPECT_EQ("content " + Listing_Name(i), content);
        }
        EXPECT_EQ(0, g_decisions) << "a file was handled twice";
    }
};

uint64_t Listing_TotalBytes()
{
    uint64_t total = 0;
    for (int i = 0; i < FILE_COUNT; i++)
        total += ("content " + Listing_Name(i)).size();
    return total;
}

TEST_F(EngineListing, ListingHandleGoneBadInCopyLosesAndRepeatsNothing)
{
    // The listing of src takes the first calls (the dragged folder's own
    // search steps on last); it goes bad early, late, and once more while
    // the reopened listing steps over what was handled.
    g_invalidateAt = {5, 21, 24};
    RunCopyTree(JOB_MODE_COPY);
    ExpectEveryFileOnce();
    EXPECT_EQ(0, g_reports);
    EXPECT_EQ(Listing_TotalBytes(), (uint64_t)CopyState.doneBytes);
    // The sources stay in a copy.
    for (int i = 0; i < FILE_COUNT; i++)
        EXPECT_TRUE(Driver_FileExists(Files_Join(src, Listing_Name(i))));
}

TEST_F(EngineListing, ListingHandleGoneBadInMoveLosesAndRepeatsNothing)
{
    // Moved files leave the listing, so a reopened listing is shorter than
    // the one that went bad; no entry may be passed over for that.
    g_invalidateAt = {4, 12, 13, 30};
    RunCopyTree(JOB_MODE_MOVE);
    ExpectEveryFileOnce();
    EXPECT_EQ(0, g_reports);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(src.c_str()))
        << "the emptied source folder was not removed";
}

TEST_F(EngineListing, CopyLeavesAListingThatKeepsFailingUnderSkipAll)
{
    CopyState.skipAllErrors = 1;
    g_nextFailure = ERROR_NETNAME_DELETED;
    RunCopyTree(JOB_MODE_COPY);      // returns: that is the point
    EXPECT_GE(g_reports, 1);
    EXPECT_LE(g_reports, 2);         // the listing, then the item's search
    EXPECT_EQ((DWORD)ERROR_NETNAME_DELETED, g_lastReportedError);
}

TEST_F(EngineListing, ScanGivesUpASearchThatKeepsFailingUnderSkipAll)
{
    CopyState.skipAllErrors = 1;
    g_firstFailuresLeft = 1000000;
    g_firstFailure = ERROR_ACCESS_DENIED;
    CopyState.topLevel = 1;
    ScanTree(Driver_Wide(src).c_str());
    EXPECT_EQ(1, g_reports);
    EXPECT_EQ(0, (int)CopyState.jobFiles);
}

TEST_F(EngineListing, ScanGivesUpAListingThatKeepsFailingUnderSkipAll)
{
    CopyState.skipAllErrors = 1;
    g_nextFailure = ERROR_NETNAME_DELETED;
    CopyState.topLevel = 1;
    ScanTree(Driver_Wide(src).c_str());
    // The listing's first entry (".") was counted, then each search with
    // its failing step was left: the listing's and the dragged folder's.
    EXPECT_EQ(2, g_reports);
    EXPECT_EQ(1, (int)CopyState.jobFiles);
}

TEST_F(EngineListing, ScanRetriesAFailedSearchAnsweredWithRetry)
{
    g_firstFailuresLeft = 3;
    g_firstFailure = ERROR_SHARING_VIOLATION;
    CopyState.topLevel = 1;
    ScanTree(Driver_Wide(src).c_str());
    EXPECT_EQ(3, g_reports);
    // Every file plus the listing's "." and "..".
    EXPECT_EQ(FILE_COUNT + 2, (int)CopyState.jobFiles);
    // "." and ".." count at the size the system gives them.
    uint64_t listed = Files_ListedBytes(src);
    EXPECT_EQ(listed, (uint64_t)CopyState.jobBytes);
    EXPECT_GE(listed, Listing_TotalBytes());
}

}  // namespace
