// Folder listings that fail under the engine and the scanner, provoked by
// wrapping the search calls of the real copy_tree.cpp and scan_tree.cpp:
// a listing handle that goes bad midway loses and repeats no entry, and a
// search that keeps failing under "skip all" is given up, not repeated
// without end.  Failures go through the real ReportError and its error
// dialog (from tesrun.exe's resources), which a thread of the test answers
// as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

// --- the wrapped search calls -----------------------------------------------

static int g_nextCalls;                 // FindNextFileW calls so far
static int g_firstCalls;                // FindFirstFileW calls so far
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
    g_firstCalls++;
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
#include "dialog_controls.cpp"
#include "entry_rules.cpp"
#include "error_dialog.cpp"
#include "file_copy.cpp"
#include "file_identity.cpp"
#include "listing.cpp"
#include "report_error.cpp"
#include "scan_tree.cpp"
#include "skipped_items.cpp"
#include "speed_limit.cpp"
#include "speed_table.cpp"
#include "tree_search.cpp"
#include "volume_rules.cpp"
#undef FindNextFileW
#undef FindFirstFileW

#include <process.h>

#include "job_file.h"
#include "resource_ids.h"
#include "test_files.h"
#include "ui_driver.h"
#include "wide_files.h"

// --- stand-ins for the existing-target decision -----------------------------

static int g_decisions;

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

// --- the user at the error dialog ---------------------------------------------

static volatile LONG g_button;           // pressed in every error dialog
static volatile LONG g_dialogsAnswered;
static volatile LONG g_stopAnswering;

// Presses `g_button` in each "Error Copying File" of this process; after a
// manual retry it presses Resume too, as a user goes on with the copy.
static unsigned __stdcall Listing_AnswerErrors(void *)
{
    DRIVER_COPIER self = {};
    self.process.dwProcessId = GetCurrentProcessId();
    while (!g_stopAnswering) {
        HWND dialog = Driver_WaitForDialog(&self, "Error Copying File", 50);
        if (!dialog)
            continue;
        int button = (int)g_button;
        Driver_Click(dialog, button);
        Driver_WaitForWindowGone(dialog);
        InterlockedIncrement(&g_dialogsAnswered);
        if (button == IDC_ERROR_RETRY)
            ResumeCopy();
    }
    return 0;
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
        // The dialogs come from the copier's own resources; it is mapped,
        // not run.
        static HMODULE copier = LoadLibraryExA(
            Files_Join(Driver_BinFolder(), "tesrun.exe").c_str(), NULL,
            DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_TRUE(copier != NULL);
        CopyState.appInstance = copier;
        g_nextCalls = 0;
        g_firstCalls = 0;
        g_invalidateAt.clear();
        g_nextFailure = 0;
        g_firstFailuresLeft = 0;
        g_decisions = 0;
        g_button = IDC_ERROR_SKIP;
        g_dialogsAnswered = 0;
        g_stopAnswering = 0;
        answerer = (HANDLE)_beginthreadex(NULL, 0, Listing_AnswerErrors, NULL,
                                          0, NULL);
        ASSERT_TRUE(answerer != NULL);
    }
    void TearDown() override
    {
        g_stopAnswering = 1;
        if (answerer) {
            WaitForSingleObject(answerer, DRIVER_TIMEOUT_MS);
            CloseHandle(answerer);
        }
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
    // The heading of the last error reported, as its dialog shows it.
    std::string ReportedHeading() { return Driver_Utf8(CopyState.errorHeading); }

    HANDLE answerer = NULL;
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
    EXPECT_EQ(0, g_dialogsAnswered);
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
    EXPECT_EQ(0, g_dialogsAnswered);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(src.c_str()))
        << "the emptied source folder was not removed";
}

// Under "skip all" a failure is passed over without a dialog: each failed
// step is tried once and the search left.
TEST_F(EngineListing, CopyLeavesAListingThatKeepsFailingUnderSkipAll)
{
    CopyState.skipAllErrors = 1;
    g_nextFailure = ERROR_NETNAME_DELETED;
    RunCopyTree(JOB_MODE_COPY);      // returns: that is the point
    // The listing's step, then the dragged folder's own search's.
    EXPECT_GE(g_nextCalls, 1);
    EXPECT_LE(g_nextCalls, 2);
    EXPECT_EQ("Cannot copy " + Files_Lower(src), ReportedHeading());
    EXPECT_EQ(0, g_dialogsAnswered);
}

TEST_F(EngineListing, ScanGivesUpASearchThatKeepsFailingUnderSkipAll)
{
    CopyState.skipAllErrors = 1;
    g_firstFailuresLeft = 1000000;
    g_firstFailure = ERROR_ACCESS_DENIED;
    CopyState.topLevel = 1;
    ScanTree(Driver_Wide(src).c_str());
    EXPECT_EQ(1, g_firstCalls) << "the failed search was tried again";
    EXPECT_EQ("Cannot copy " + Files_Lower(src), ReportedHeading());
    EXPECT_EQ(0, (int)CopyState.jobFiles);
    EXPECT_EQ(0, g_dialogsAnswered);
}

TEST_F(EngineListing, ScanGivesUpAListingThatKeepsFailingUnderSkipAll)
{
    CopyState.skipAllErrors = 1;
    g_nextFailure = ERROR_NETNAME_DELETED;
    CopyState.topLevel = 1;
    ScanTree(Driver_Wide(src).c_str());
    // The listing's first entry (".") was counted, then each search with
    // its failing step was left: the listing's and the dragged folder's.
    EXPECT_EQ(2, g_nextCalls);
    EXPECT_EQ(1, (int)CopyState.jobFiles);
    EXPECT_EQ(0, g_dialogsAnswered);
}

// "&Manual retry - Pause copy" and Resume, three times: the search is made
// again each time, and the folder is then counted whole.
TEST_F(EngineListing, ScanRetriesAFailedSearchAnsweredWithRetry)
{
    g_button = IDC_ERROR_RETRY;
    g_firstFailuresLeft = 3;
    g_firstFailure = ERROR_SHARING_VIOLATION;
    CopyState.topLevel = 1;
    ScanTree(Driver_Wide(src).c_str());
    EXPECT_EQ(3, g_dialogsAnswered);
    // Every file plus the listing's "." and "..", which list at size 0.
    EXPECT_EQ(FILE_COUNT + 2, (int)CopyState.jobFiles);
    EXPECT_EQ(Listing_TotalBytes(), (uint64_t)CopyState.jobBytes);
}

}  // namespace
