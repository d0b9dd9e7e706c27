// The speed-limit slider of the real tesrun.exe: its labels, a copy held to
// 50 KB/Sec, and "None" releasing a runner that waits for its budget.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "ui_driver.h"

// Far more than 50 KB/Sec needs for the bytes that these tests wait for,
// far less than it needs for the whole file.
static const DWORD c_jobTimeoutMs = 90000;
// At 50 KB/Sec this takes 320 s; without a limit well under a second.
static const size_t c_largeFileBytes = 16000000;

static std::string SpeedTest_Join(const std::string &folder,
                                  const std::string &name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

static std::string SpeedTest_Pattern(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned value = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; i++) {
        value = value * 1103515245u + 12345u;
        bytes[i] = (char)(value >> 16);
    }
    return bytes;
}

// Size of a file, or -1 when it is not there.  The copier holds the target
// open for writing; reading its attributes needs no handle.
static long long SpeedTest_FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// Polls until the file is larger than `bytes`; false on time-out.
static bool SpeedTest_WaitForSizeAbove(const std::string &path,
                                       long long bytes,
                                       DWORD timeoutMs = c_jobTimeoutMs)
{
    DWORD start = GetTickCount();
    while (SpeedTest_FileSize(path) <= bytes) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

static bool SpeedTest_IsRunning(const DRIVER_COPIER *copier)
{
    return WaitForSingleObject(copier->process.hProcess, 0) == WAIT_TIMEOUT;
}

// The number of the percentage line "n %", or -1.
static int SpeedTest_Percent(HWND window)
{
    int percent = -1;
    if (sscanf(Driver_GetItemText(window, IDC_PROGRESS_PERCENT).c_str(), "%d",
               &percent) != 1)
        return -1;
    return percent;
}

// A copier started paused ("R") on one job; ended when the test ends.
struct SPEED_RUN {
    DRIVER_COPIER copier = {};
    std::string temp;
    std::string jobFile;
    ~SPEED_RUN() { Driver_Kill(&copier); }
};

static bool SpeedTest_StartPaused(SPEED_RUN *run, const char *testName,
                                  const std::string &target,
                                  const std::string &source)
{
    run->temp = Driver_NewTempFolder(testName);
    run->jobFile = Driver_WriteJob(run->temp, 457, 1, target, {source});
    return Driver_StartCopier(run->temp, "457R", &run->copier) &&
           Driver_WaitForProgressWindow(&run->copier) != NULL &&
           Driver_WaitForTitle(run->copier.window, "Ready to resume...");
}

// Each position shows its own label, also going back and forth; the slider
// works before the job is resumed, and cancelling copies nothing.
TEST(SpeedLimit, SliderShowsTheLabelOfItsPosition)
{
    std::string work = Driver_NewWorkFolder("SpeedLabels");
    std::string source = SpeedTest_Join(work, "notes.txt");
    std::string target = SpeedTest_Join(work, "Target");
    ASSERT_TRUE(Driver_WriteFile(source, SpeedTest_Pattern(1000, 1)));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    SPEED_RUN run;
    ASSERT_TRUE(SpeedTest_StartPaused(&run, "SpeedLabels", target, source));
    HWND window = run.copier.window;
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
    EXPECT_FALSE(Driver_FileExists(SpeedTest_Join(target, "notes.txt")));
}

// At 50 KB/Sec a large file advances, but after two seconds it is nowhere
// near done, which without the limit it would be long before.  Moving the
// slider to "None" while the runner waits for its budget (at this limit it
// waits after nearly every chunk) lets it go on: the job then finishes
// within a time-out in which 50 KB/Sec could not have copied the file.
TEST(SpeedLimit, FiftyKilobytesHoldsTheCopyBackAndNoneReleasesIt)
{
    std::string work = Driver_NewWorkFolder("SpeedFifty");
    std::string source = SpeedTest_Join(work, "Large.BIN");
    std::string target = SpeedTest_Join(work, "Target");
    std::string content = SpeedTest_Pattern(c_largeFileBytes, 2);
    ASSERT_TRUE(Driver_WriteFile(source, content));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    std::string copy = SpeedTest_Join(target, "Large.BIN");

    SPEED_RUN run;
    ASSERT_TRUE(SpeedTest_StartPaused(&run, "SpeedFifty", target, source));
    HWND window = run.copier.window;
    Driver_SetSlider(window, IDC_PROGRESS_SLIDER, 0);
    ASSERT_TRUE(
        Driver_WaitForItemText(window, IDC_PROGRESS_LIMIT, "50 KB/Sec"));
    Driver_Click(window, IDC_PROGRESS_PAUSE);   // Resume

    // The copy runs and makes progress.
    std::string title = Driver_WaitForTitlePrefix(window, "(");
    ASSERT_EQ('(', title.empty() ? 0 : title[0]) << title;
    ASSERT_TRUE(SpeedTest_WaitForSizeAbove(copy, 0));
    long long firstSize = SpeedTest_FileSize(copy);
    ASSERT_TRUE(SpeedTest_WaitForSizeAbove(copy, firstSize));

    // For two seconds of the test's own clock it stays far from complete.
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        ASSERT_TRUE(SpeedTest_IsRunning(&run.copier));
        ASSERT_LT(SpeedTest_FileSize(copy), (long long)c_largeFileBytes / 2);
        Sleep(50);
    }
    ASSERT_TRUE(SpeedTest_IsRunning(&run.copier));
    long long heldSize = SpeedTest_FileSize(copy);
    EXPECT_LT(heldSize, (long long)c_largeFileBytes / 2);
    int percent = SpeedTest_Percent(window);
    EXPECT_GE(percent, 0) << Driver_GetItemText(window, IDC_PROGRESS_PERCENT);
    EXPECT_LT(percent, 50);

    Driver_SetSlider(window, IDC_PROGRESS_SLIDER, 20);
    ASSERT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_LIMIT, "None"));
    DWORD exitCode = 0;
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, DRIVER_TIMEOUT_MS, &exitCode))
        << "still at " << SpeedTest_FileSize(copy) << " bytes";
    EXPECT_EQ(1u, exitCode);
    std::string copied;
    ASSERT_TRUE(Driver_ReadFile(copy, &copied));
    EXPECT_TRUE(copied == content) << copied.size() << " bytes";
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
}
