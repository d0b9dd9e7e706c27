// The speed-limit slider of the real tesrun.exe: its labels, a copy held to
// 50 KB/Sec, and "None" releasing a runner that waits for its budget.
// Speeds are compared with each other in the same run, never with what a
// machine is assumed to manage.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "test_files.h"
#include "ui_driver.h"

static const DWORD c_jobTimeoutMs = 90000;

// Each position shows its own label, also going back and forth; the slider
// works before the job is resumed, and cancelling copies nothing.
TEST(SpeedLimit, SliderShowsTheLabelOfItsPosition)
{
    std::string work = Driver_NewWorkFolder("SpeedLabels");
    std::string source = Files_Join(work, "notes.txt");
    std::string target = Files_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(source, Files_Pattern(1000, 1)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "SpeedLabels", 457, 1, target, {source},
                                "457R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    EXPECT_EQ("None", Driver_GetItemText(window, IDC_PROGRESS_LIMIT));

    const struct {
        int position;
        const char *label;
    } moves[] = {
        {7, "700 KB/Sec"}, {20, "None"},        {0, "50 KB/Sec"},
        {9, "900 KB/Sec"}, {17, "3500 KB/Sec"}, {19, "5000 KB/Sec"},
        {20, "None"},
    };
    for (const auto &move : moves) {
        Driver_SetSlider(window, IDC_PROGRESS_SLIDER, move.position);
        EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_LIMIT,
                                           move.label))
            << move.position << ": "
            << Driver_GetItemText(window, IDC_PROGRESS_LIMIT);
    }

    Driver_Click(window, IDC_PROGRESS_CANCEL);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
    EXPECT_EQ(std::vector<std::string>(), Files_List(target));
}

// Bytes per second that the file grew by from `start` (a GetTickCount
// value, when it held `startSize` bytes) until it holds `bytes`, on the
// test's own clock; a slow test only finds a lower rate.  -1 on time-out.
static double SpeedTest_RateUntil(const std::string &path, DWORD start,
                                  LONGLONG startSize, LONGLONG bytes)
{
    if (!Files_WaitForSize(path, bytes, c_jobTimeoutMs))
        return -1;
    DWORD elapsed = GetTickCount() - start;
    return (double)(Files_Size(path) - startSize) * 1000.0 /
           (elapsed ? elapsed : 1);
}

// At 50 KB/Sec the copy moves at about 50,000 bytes a second; moved to
// "None" while the runner waits for its budget (at this limit it waits
// after nearly every chunk), the same copy goes on at once and finishes at
// the speed of this machine, measured in the same run.
TEST(SpeedLimit, FiftyKilobytesHoldsTheCopyBackAndNoneReleasesIt)
{
    const size_t size = 16000000;
    std::string work = Driver_NewWorkFolder("SpeedFifty");
    std::string source = Files_Join(work, "Large.BIN");
    std::string target = Files_Join(work, "Target");
    std::string content = Files_Pattern(size, 2);
    ASSERT_TRUE(Driver_WriteFile(source, content));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    std::string copy = Files_Join(target, "Large.BIN");

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "SpeedFifty", 457, 1, target, {source},
                                "457R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_SetSlider(window, IDC_PROGRESS_SLIDER, 0);
    ASSERT_TRUE(
        Driver_WaitForItemText(window, IDC_PROGRESS_LIMIT, "50 KB/Sec"));
    DWORD resumed = GetTickCount();
    Driver_Click(window, IDC_PROGRESS_PAUSE);   // Resume

    // 100,000 bytes at the limit: about two seconds.  The first chunk and
    // the budget a tick brings may come early, so the rate may stand a
    // little above the limit, never far.
    double held = SpeedTest_RateUntil(copy, resumed, 0, 100000);
    ASSERT_GT(held, 0) << "the limited copy made no progress";
    EXPECT_LT(held, 75000) << "held to 50 KB/Sec, it moved " << held
                           << " bytes a second";
    EXPECT_TRUE(Driver_FileExists(run.jobFile));

    // The clock and the size are taken before the slider moves: released,
    // a fast machine may finish the rest before the label even reads "None".
    DWORD releasedAt = GetTickCount();
    LONGLONG releasedSize = Files_Size(copy);
    Driver_SetSlider(window, IDC_PROGRESS_SLIDER, 20);
    ASSERT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_LIMIT, "None"));
    double released = SpeedTest_RateUntil(copy, releasedAt, releasedSize,
                                          (LONGLONG)size);
    ASSERT_GT(released, 0) << "released, the copy did not finish: still at "
                       << Files_Size(copy) << " bytes";
    EXPECT_GT(released, 4 * held)
        << "released, it moved " << released << " bytes a second, held "
        << held;
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, c_jobTimeoutMs));
    EXPECT_TRUE(Files_HasBytes(copy, content));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
}
