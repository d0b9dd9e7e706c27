// The progress window, end to end: titles, the paused start, Pause and
// Resume, Cancel, the end of a job and the About box of the real tesrun.exe.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "test_files.h"
#include "title_recorder.h"
#include "ui_driver.h"

static const DWORD c_jobTimeoutMs = 90000;

// A start with "R" shows the job and touches nothing until Resume: the
// source is given other bytes while the window waits, and only those may
// arrive.
TEST(ProgressWindow, PausedStartWaitsForResume)
{
    std::string work = Driver_NewWorkFolder("PausedStart");
    std::string source = Files_Join(work, "Annual Report.DOC");
    std::string target = Files_Join(work, "Backup");
    ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(120000, 1)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    DRIVER_RUN run;
    // The trailing backslash is dropped before the folder is shown or used.
    ASSERT_TRUE(Driver_StartJob(&run, "PausedStart", 456, 1, target + "\\",
                                {source}, "456R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    // The lines follow the title.
    std::string from = "From : " + Files_Lower(source) + " ";
    EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_FROM, from.c_str()))
        << Driver_GetItemText(window, IDC_PROGRESS_FROM);
    std::string to = "To    : " + Files_Lower(target);
    EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_TO, to.c_str()))
        << Driver_GetItemText(window, IDC_PROGRESS_TO);

    // A copier that had read the source already would bring the old bytes.
    std::string copy = Files_Join(target, "Annual Report.DOC");
    ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(150000, 2)));
    EXPECT_EQ("Ready to resume...", Driver_GetText(window));
    EXPECT_TRUE(Driver_FileExists(run.jobFile));

    Driver_Click(window, IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
    EXPECT_TRUE(Files_HasBytes(copy, Files_Pattern(150000, 2)));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
}

// Cancel (pressed twice, and the close box) ends the process once, deletes
// the job file and copies nothing.
TEST(ProgressWindow, CancelEndsTheJob)
{
    std::string work = Driver_NewWorkFolder("Cancel");
    std::string source = Files_Join(work, "data.bin");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(1000, 2)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    DRIVER_RUN run;
    ASSERT_TRUE(
        Driver_StartJob(&run, "Cancel", 456, 1, target, {source}, "456R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    ASSERT_TRUE(Driver_FileExists(run.jobFile));

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
    EXPECT_EQ(std::vector<std::string>(), Files_List(target));
}

// A job without sources is not counted, shows "(0%) Copying..." and then
// "Finished", and closes by itself, its job file deleted.
TEST(ProgressWindow, JobOfNoSourcesFinishesAndClosesByItself)
{
    std::string work = Driver_NewWorkFolder("EmptyJob");
    DRIVER_RUN run;
    run.recordTitles = true;
    ASSERT_TRUE(Driver_StartJob(&run, "EmptyJob", 456, 1, work, {}));
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
    EXPECT_EQ((std::vector<std::string>{"Preparing to copy...",
                                        "(0%) Copying...", "Finished"}),
              Driver_RecordedTitles(run.temp));
}

// Rank of a title in the order titles may appear, or -1 for a title that
// has no place there; `percent` receives the number of "(n%) ...".
static int TitleRank(const std::string &title, int *percent)
{
    if (title == "Preparing to copy...")
        return 0;
    if (title == "Ready to resume...")
        return 1;
    if (title == "Finished")
        return 3;
    int value = 0, used = 0;
    if (sscanf(title.c_str(), "(%d%n", &value, &used) == 1 &&
        (title.substr(used) == "%) Copying..." ||
         title.substr(used) == "%) Paused")) {
        *percent = value;
        return 2;
    }
    return -1;
}

// Every title a job shows is one of the window's titles, in their order,
// with a percentage that grows on the way and never passes 100, and the
// last one is "Finished".
TEST(ProgressWindow, TitlesFollowTheirOrder)
{
    std::string work = Driver_NewWorkFolder("Titles");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    std::vector<std::string> sources;
    for (int i = 0; i < 4; i++) {
        std::string source =
            Files_Join(work, "part" + std::to_string(i) + ".bin");
        ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(1250000, 10 + i)));
        sources.push_back(source);
    }

    DRIVER_RUN run;
    run.recordTitles = true;
    ASSERT_TRUE(
        Driver_StartJob(&run, "Titles", 456, 1, target, sources, "456R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    // At 5000 KB/Sec the 5,000,000 bytes take a second at least, some ten
    // ticks of the window, however fast the machine.
    Driver_SetSlider(window, IDC_PROGRESS_SLIDER, 19);
    ASSERT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_LIMIT, "5000 KB/Sec"));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs))
        << "job did not end";

    std::vector<std::string> seen = Driver_RecordedTitles(run.temp);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ("Preparing to copy...", seen.front());
    EXPECT_EQ("Finished", seen.back());
    int lastRank = 0, lastPercent = 0, between = 0;
    for (const std::string &title : seen) {
        int percent = 0;
        int rank = TitleRank(title, &percent);
        ASSERT_GE(rank, 0) << "unknown title " << title;
        EXPECT_GE(rank, lastRank) << title << " after a later title";
        if (rank == 2) {
            EXPECT_GE(percent, lastPercent) << title;
            EXPECT_LE(percent, 100) << title;
            between += percent > lastPercent && percent < 100;
            lastPercent = percent;
        }
        lastRank = rank;
    }
    EXPECT_GE(between, 2) << "no percentage shown between 0 and 100";
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(Files_HasBytes(
            Files_Join(target, "part" + std::to_string(i) + ".bin"),
            Files_Pattern(1250000, 10 + i)));
}

// The About box shows the addresses, ignores Escape and ends with OK; the
// job goes on meanwhile.
TEST(ProgressWindow, AboutBoxShowsAddressesAndEndsWithOk)
{
    std::string work = Driver_NewWorkFolder("About");
    std::string source = Files_Join(work, "one.bin");
    ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(1000, 3)));

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "About", 456, 1, work, {source}, "456R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_ABOUT);
    HWND box = Driver_WaitForDialogWithItem(&run.copier, IDC_ABOUT_WEB);
    ASSERT_TRUE(box != NULL);
    EXPECT_TRUE(Driver_WaitForItemText(box, IDC_ABOUT_WEB,
                                       "https://tessary.example/copy"));
    EXPECT_TRUE(Driver_WaitForItemText(box, IDC_ABOUT_MAIL,
                                       "support@tessary.example"));

    // Escape arrives as IDCANCEL; sent, it is handled before this returns.
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));

    Driver_Click(box, IDC_ABOUT_OK);
    EXPECT_TRUE(Driver_WaitForWindowGone(box));
    EXPECT_EQ("Ready to resume...", Driver_GetText(window));
    Driver_Click(window, IDC_PROGRESS_CANCEL);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
}

// A job that finishes while the About box is open does not leave the
// process behind: the box closes with the job.
TEST(ProgressWindow, AboutBoxClosesWithTheJob)
{
    std::string work = Driver_NewWorkFolder("AboutEnd");
    std::string source = Files_Join(work, "one.bin");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(1000, 4)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    DRIVER_RUN run;
    ASSERT_TRUE(
        Driver_StartJob(&run, "AboutEnd", 456, 1, target, {source}, "456R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_ABOUT);
    ASSERT_TRUE(Driver_WaitForDialogWithItem(&run.copier, IDC_ABOUT_WEB) != NULL);
    Driver_Click(window, IDC_PROGRESS_PAUSE);   // Resume: the job runs out
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
    EXPECT_TRUE(
        Files_HasBytes(Files_Join(target, "one.bin"), Files_Pattern(1000, 4)));
}
