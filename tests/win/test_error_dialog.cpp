// The error dialog, end to end: the real tesrun.exe meets a source that
// another program holds open, or a target folder that refuses new files,
// and the test answers "Error Copying File" the way a user would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_answers.h"
#include "resource_ids.h"
#include "test_blockers.h"
#include "test_files.h"
#include "ui_driver.h"

static const DWORD c_jobTimeoutMs = 90000;
// Longer than two automatic retries (every 20 seconds) plus the copy.
static const DWORD c_autoRetryTimeoutMs = 120000;

static bool EndsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

static bool WaitForItemSuffix(HWND dialog, int id, const std::string &tail,
                              DWORD timeoutMs = DRIVER_TIMEOUT_MS)
{
    DWORD start = GetTickCount();
    do {
        if (EndsWith(Driver_GetItemText(dialog, id), tail))
            return true;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

// Texts, buttons and Escape of the dialog for a locked source; then
// "&Skip this file" passes it over and the rest of the job is copied.
TEST(ErrorDialog, LockedSourceOffersEveryAnswerAndSkipPassesItOver)
{
    std::string work = Driver_NewWorkFolder("ErrorSkipOne");
    std::string locked = Files_Join(work, "Locked Report.TXT");
    std::string after = Files_Join(work, "After.txt");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(locked, Files_Pattern(3000, 1)));
    ASSERT_TRUE(Driver_WriteFile(after, Files_Pattern(5000, 2)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    LOCKER locker = {};
    ASSERT_TRUE(Locker_Hold(locked, &locker));

    DRIVER_RUN run;
    ASSERT_TRUE(
        Driver_StartJob(&run, "ErrorSkipOne", 321, 1, target, {locked, after}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Copying File");
    ASSERT_TRUE(dialog != NULL);

    EXPECT_EQ("Cannot copy " + Files_Lower(locked),
              Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    std::string errorText = Driver_GetItemText(dialog, IDC_ERROR_TEXT);
    EXPECT_FALSE(errorText.empty());
    EXPECT_EQ(std::string::npos, errorText.find_first_of("\r\n")) << errorText;
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_RETRY));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_AUTORETRY));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIPALL));
    // The copy is paused while the question is open.
    EXPECT_TRUE(Driver_WaitForItemText(run.copier.window, IDC_PROGRESS_PAUSE,
                                       "Resume"));

    // Escape arrives as IDCANCEL; handled synchronously, it must leave the
    // question open.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
    EXPECT_TRUE(Driver_HasDialog(&run.copier, "Error Copying File"));

    Driver_Click(dialog, IDC_ERROR_SKIP);
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog));
    std::string list;
    ASSERT_TRUE(Driver_RunToTheSkippedList(&run.copier, &list, c_jobTimeoutMs));
    EXPECT_NE(std::string::npos, list.find("Locked Report.TXT")) << list;
    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "After.txt"),
                               Files_Pattern(5000, 2)));
    // The skipped file leaves nothing behind, not even an empty target.
    EXPECT_EQ(std::vector<std::string>{"After.txt"}, Files_List(target));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
}

// "S&kip all files with errors" answers every later error by itself.
TEST(ErrorDialog, SkipAllPassesLaterErrorsOverWithoutAsking)
{
    std::string work = Driver_NewWorkFolder("ErrorSkipAll");
    std::string first = Files_Join(work, "first.bin");
    std::string second = Files_Join(work, "second.bin");
    std::string good = Files_Join(work, "good.bin");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(first, Files_Pattern(1000, 3)));
    ASSERT_TRUE(Driver_WriteFile(second, Files_Pattern(1000, 4)));
    ASSERT_TRUE(Driver_WriteFile(good, Files_Pattern(70000, 5)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    LOCKER firstLocker = {}, secondLocker = {};
    ASSERT_TRUE(Locker_Hold(first, &firstLocker));
    ASSERT_TRUE(Locker_Hold(second, &secondLocker));

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "ErrorSkipAll", 321, 1, target,
                                {first, second, good}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Copying File");
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ("Cannot copy " + Files_Lower(first),
              Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    Driver_Click(dialog, IDC_ERROR_SKIPALL);
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog));

    // Both skipped files are listed at the end, the second asked nothing.
    std::string list;
    ASSERT_TRUE(Driver_RunToTheSkippedList(&run.copier, &list, c_jobTimeoutMs));
    EXPECT_NE(std::string::npos, list.find("first.bin")) << list;
    EXPECT_NE(std::string::npos, list.find("second.bin")) << list;
    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "good.bin"),
                               Files_Pattern(70000, 5)));
    EXPECT_EQ(std::vector<std::string>{"good.bin"}, Files_List(target));
}

// "&Manual retry - Pause copy" leaves the window paused; Resume retries and,
// with the file free again, copies it.
TEST(ErrorDialog, ManualRetryWaitsForResume)
{
    std::string work = Driver_NewWorkFolder("ErrorManual");
    std::string locked = Files_Join(work, "held.bin");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(locked, Files_Pattern(250000, 6)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    LOCKER locker = {};
    ASSERT_TRUE(Locker_Hold(locked, &locker));

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "ErrorManual", 321, 1, target, {locked}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Copying File");
    ASSERT_TRUE(dialog != NULL);
    Driver_Click(dialog, IDC_ERROR_RETRY);

    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_PAUSE, "Resume"));
    EXPECT_TRUE(Driver_WaitForTitle(window, "(0%) Paused"));
    // The copy is paused while the question is still open, so the answered
    // dialog is waited for: it must go while the copy stays paused.
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog));
    EXPECT_FALSE(Driver_HasDialog(&run.copier, "Error Copying File"));

    Locker_Release(&locker);
    // Nothing was written while the copy stood paused.
    EXPECT_EQ(std::vector<std::string>(), Files_List(target));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(Driver_RunWithoutQuestions(&run.copier, c_jobTimeoutMs));
    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "held.bin"),
                               Files_Pattern(250000, 6)));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
}

// "&Auto-retry every 20th second": no more questions, the copy is not shown
// as paused, the speed line says so, a user's Pause holds and shows within
// a tick with stable numbers, and the file is copied once free.
TEST(ErrorDialog, AutoRetryRetriesWithoutAsking)
{
    std::string work = Driver_NewWorkFolder("ErrorAuto");
    std::string first = Files_Join(work, "first.bin");
    std::string locked = Files_Join(work, "held.bin");
    std::string target = Files_Join(work, "Target");
    const size_t size = 50000000;
    ASSERT_TRUE(Driver_WriteFile(first, Files_Pattern(size, 7)));
    ASSERT_TRUE(Driver_WriteFile(locked, Files_Pattern(size, 8)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    LOCKER locker = {};
    ASSERT_TRUE(Locker_Hold(locked, &locker));

    DRIVER_RUN run;
    ASSERT_TRUE(
        Driver_StartJob(&run, "ErrorAuto", 321, 1, target, {first, locked}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Copying File",
                                       c_jobTimeoutMs);
    ASSERT_TRUE(dialog != NULL);
    Driver_Click(dialog, IDC_ERROR_AUTORETRY);

    HWND window = run.copier.window;
    // Retrying is going on: the window must not offer "Resume".
    EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_PAUSE, "Pause"));
    EXPECT_TRUE(Driver_WaitForTitle(window, "(50%) Copying..."));
    EXPECT_TRUE(WaitForItemSuffix(window, IDC_PROGRESS_SPEED,
                                  " KB/Sec : Auto Retrying"))
        << Driver_GetItemText(window, IDC_PROGRESS_SPEED);

    // A user's Pause during the retry wait holds, with stable numbers.
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    EXPECT_TRUE(Driver_WaitForTitle(window, "(50%) Paused"));
    EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_PAUSE, "Resume"));
    EXPECT_EQ("50 %", Driver_GetItemText(window, IDC_PROGRESS_PERCENT));
    EXPECT_EQ("Bytes left : 50.000 KB",
              Driver_GetItemText(window, IDC_PROGRESS_BYTESLEFT));
    EXPECT_EQ(175, Driver_GetProgressPosition(window, IDC_PROGRESS_BAR));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    EXPECT_TRUE(Driver_WaitForTitle(window, "(50%) Copying..."));
    EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_PAUSE, "Pause"));

    Locker_Release(&locker);
    ASSERT_TRUE(
        Driver_RunWithoutQuestions(&run.copier, c_autoRetryTimeoutMs));
    EXPECT_TRUE(
        Files_HasBytes(Files_Join(target, "held.bin"), Files_Pattern(size, 8)));
}

// In move mode the dialog names the move; a skipped source stays.
TEST(ErrorDialog, MoveModeSaysMove)
{
    std::string work = Driver_NewWorkFolder("ErrorMove");
    std::string locked = Files_Join(work, "Held.bin");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(locked, Files_Pattern(4000, 9)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    LOCKER locker = {};
    ASSERT_TRUE(Locker_Hold(locked, &locker));

    // Under the other case of its drive letter the move is a copy and a
    // delete, which opens the source.
    std::string source = Files_OnOtherDrive(locked);
    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "ErrorMove", 321, 0, target, {source}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Moving File");
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ("Cannot move " + Files_Lower(source),
              Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    Driver_Click(dialog, IDC_ERROR_SKIP);
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog));

    std::string list;
    ASSERT_TRUE(Driver_RunToTheSkippedList(&run.copier, &list, c_jobTimeoutMs));
    EXPECT_NE(std::string::npos, list.find("Held.bin")) << list;
    Locker_Release(&locker);
    EXPECT_TRUE(Files_HasBytes(locked, Files_Pattern(4000, 9)));
    EXPECT_EQ(std::vector<std::string>(), Files_List(target));
}

// A dropped item that is gone by the time the job runs is reported once,
// while the job is being counted, with a skip; the other items are copied.
TEST(ErrorDialog, MissingSourceIsReportedAndTheRestIsCopied)
{
    std::string work = Driver_NewWorkFolder("ErrorMissing");
    std::string missing = Files_Join(work, "Gone.bin");
    std::string present = Files_Join(work, "here.bin");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(present, Files_Pattern(3000, 11)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "ErrorMissing", 321, 1, target,
                                {missing, present}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Copying File");
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ("Cannot copy " + Files_Lower(missing),
              Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    EXPECT_FALSE(Driver_GetItemText(dialog, IDC_ERROR_TEXT).empty());
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    Driver_Click(dialog, IDC_ERROR_SKIP);
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog));

    // Skipped once: the copy passes it over without asking again, and the
    // end of the job lists it.
    std::string list;
    ASSERT_TRUE(Driver_RunToTheSkippedList(&run.copier, &list, c_jobTimeoutMs));
    EXPECT_NE(std::string::npos, list.find("Gone.bin")) << list;
    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "here.bin"),
                               Files_Pattern(3000, 11)));
    EXPECT_EQ(std::vector<std::string>{"here.bin"}, Files_List(target));
}

// A target file that cannot be created may never become creatable: every
// answer is offered, a skip among them (what a skip keeps is tested with
// the engine's failures); manual retry and Cancel still end the job.
TEST(ErrorDialog, TargetThatRefusesNewFilesOffersEveryAnswer)
{
    std::string work = Driver_NewWorkFolder("ErrorNoSkip");
    std::string source = Files_Join(work, "source.bin");
    std::string target = Files_Join(work, "Frozen");
    ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(2000, 10)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    IMMUTABLE_FOLDER frozen;
    if (!Blockers_Freeze(target, &frozen))
        GTEST_SKIP() << "chattr +i is not available on this file system";

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "ErrorNoSkip", 321, 1, target, {source}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Copying File");
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ("Cannot copy " + Files_Lower(Files_Join(target, "source.bin")),
              Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_RETRY));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_AUTORETRY));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIPALL));

    // The way out: retry by hand, then cancel the paused job.
    Driver_Click(dialog, IDC_ERROR_RETRY);
    ASSERT_TRUE(Driver_WaitForItemText(run.copier.window, IDC_PROGRESS_PAUSE,
                                       "Resume"));
    Driver_Click(run.copier.window, IDC_PROGRESS_CANCEL);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
    EXPECT_TRUE(Files_HasBytes(source, Files_Pattern(2000, 10)));
}
