// tesrun.exe's start-up, driven from outside: which arguments and job files
// open the progress window and which end silently (no window at any
// moment, the job file kept as it was, nothing copied), and the resume
// scan's relaunches, recorded by a stand-in copier put where the installed
// one lives.  The copier ends with exit code 1 on every path, so its exit
// code tells nothing about how a start ended: what the user sees does.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "installed_copier.h"
#include "job_file.h"
#include "resource_ids.h"
#include "test_files.h"
#include "title_recorder.h"
#include "ui_driver.h"

namespace {

std::vector<std::string> Sources(int count, const std::string &prefix)
{
    std::vector<std::string> sources;
    for (int i = 0; i < count; i++)
        sources.push_back(prefix + std::to_string(i) + ".dat");
    return sources;
}

// Starts the copier on `argument` and expects the silent end: no visible
// window at any moment of its life.
void ExpectSilentEnd(const std::string &temp, const std::string &argument)
{
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(temp, argument, &copier)) << argument;
    DWORD exitCode = 0;
    bool sawWindow = true;
    EXPECT_TRUE(Driver_WaitForExitWithoutWindow(&copier, DRIVER_TIMEOUT_MS,
                                                &exitCode, &sawWindow))
        << "still running: \"" << argument << "\"";
    EXPECT_FALSE(sawWindow) << "\"" << argument << "\"";
    Driver_Kill(&copier);
}

// Expects the file to be there with exactly `content`.
void ExpectKept(const std::string &path, const std::string &content)
{
    std::string now;
    EXPECT_TRUE(Driver_ReadFile(path, &now)) << path << " was deleted";
    EXPECT_EQ(content, now) << path << " was changed";
}

// A sound job `number` in `temp` that copies work\a.txt into work\into:
// a copier that took it up would leave into\a.txt and delete the job.
std::string WriteSoundJob(const std::string &temp, const std::string &work,
                          int number, int mode = JOB_MODE_COPY)
{
    std::string source = Files_Join(work, "a.txt");
    if (!Driver_FileExists(source)) {
        EXPECT_TRUE(Driver_WriteFile(source, "contents"));
    }
    return Driver_WriteJob(temp, number, mode, Files_Join(work, "into"),
                           {source});
}

// Opens the job paused, checks the window and cancels it.  Returns the
// title seen.
std::string OpenPausedAndCancel(const std::string &temp, const std::string &number)
{
    DRIVER_COPIER copier = {};
    EXPECT_TRUE(Driver_StartCopier(temp, number + "R", &copier));
    HWND window = Driver_WaitForProgressWindow(&copier);
    EXPECT_TRUE(window != NULL) << "job " << number << " opened no window";
    std::string title;
    if (window) {
        Driver_WaitForTitle(window, "Ready to resume...");
        title = Driver_GetText(window);
        Driver_Click(window, IDC_PROGRESS_CANCEL);
    }
    EXPECT_TRUE(Driver_WaitForExit(&copier));
    Driver_Kill(&copier);
    return title;
}

}  // namespace

TEST(Startup, PausedArgumentOpensTheJobAndCancelDeletesIt)
{
    std::string temp = Driver_NewTempFolder("PausedArgument");
    std::string work = Driver_NewWorkFolder("PausedArgument");
    std::string job = WriteSoundJob(temp, work, 123);
    ASSERT_FALSE(job.empty());

    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(temp, "123R", &copier));
    HWND window = Driver_WaitForProgressWindow(&copier);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    // Paused: nothing is copied and the job file stays while it waits.
    EXPECT_TRUE(Driver_FileExists(job));
    EXPECT_FALSE(Driver_FileExists(work + "into\\a.txt"));

    Driver_Click(window, IDC_PROGRESS_CANCEL);
    DWORD exitCode = 0;
    EXPECT_TRUE(Driver_WaitForExit(&copier, DRIVER_TIMEOUT_MS, &exitCode));
    // The command line's contract, checked once: 1 on every path.
    EXPECT_EQ(1u, exitCode);
    EXPECT_FALSE(Driver_FileExists(job));
    EXPECT_FALSE(Driver_FileExists(work + "into\\a.txt"));
    Driver_Kill(&copier);
}

TEST(Startup, ArgumentsThatNameNoJobEndSilently)
{
    std::string temp = Driver_NewTempFolder("NoJobArguments");
    std::string work = Driver_NewWorkFolder("NoJobArguments");
    // A sound job sits in the folder: none of these may pick it up.
    std::string job = WriteSoundJob(temp, work, 123);
    std::string content;
    ASSERT_TRUE(Driver_ReadFile(job, &content));

    ExpectSilentEnd(temp, "/STARTUP");   // case matters: no resume scan
    ExpectSilentEnd(temp, "");           // looks for "tesqueue."
    ExpectSilentEnd(temp, "456");        // no such job file
    ExpectSilentEnd(temp, "456R");
    ExpectSilentEnd(temp, "12345");
    ExpectSilentEnd(temp, std::string(390, '1') + "R");
    ExpectSilentEnd(temp, std::string(600, '1'));
    ExpectSilentEnd(temp, "..\\123");
    ExpectKept(job, content);
    EXPECT_FALSE(Driver_FileExists(work + "into")) << "a job was run";
}

TEST(Startup, ShortAndDamagedJobFilesAreRefusedAndKept)
{
    std::string temp = Driver_NewTempFolder("DamagedJobs");
    std::string work = Driver_NewWorkFolder("DamagedJobs");
    // Each damaged job names a real source and target: a copier that ran
    // one anyway would leave a copy there.
    std::string source = work + "a";
    std::string target = work + "into";
    ASSERT_TRUE(Driver_WriteFile(source, "contents"));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    std::string header("\x11\x22\x33\x44\x55\x66\x77\x01", 8);
    struct {
        int number;
        std::string content;
        const char *what;
    } cases[] = {
        {301, std::string("\x11\x22\x33\x44\x55\x66\x77\x01\x01\x00\x00", 11),
         "11 bytes"},
        {302, header, "header only"},
        {303, header + std::string("\x00\x00\x00\x00", 4),
         "count without target"},
        {304, header + std::string("\x03\x00\x00\x00", 4) + target + '\0' +
                  source + '\0',
         "fewer sources than the count"},
        {305, header + std::string("\x01\x00\x00\x00", 4) + target + '\0' +
                  source,
         "last source without its NUL"},
        {306, header + std::string("\x00\x00\x00\x00", 4) + target,
         "target without its NUL"},
        {307, header + std::string("\x02\x00\x00\x00", 4) + target + '\0' +
                  source + '\0' + "C:\\" + std::string(40000, 'p') + '\0',
         "source longer than any path"},
        // It would copy into the root of the current drive.
        {308, header + std::string("\x01\x00\x00\x00", 4) + '\0' + source +
                  '\0',
         "empty target folder"},
    };
    for (const auto &c : cases) {
        std::string path = temp + "tesqueue." + std::to_string(c.number);
        ASSERT_TRUE(Driver_WriteFile(path, c.content));
        SCOPED_TRACE(c.what);
        ExpectSilentEnd(temp, std::to_string(c.number));
        ExpectSilentEnd(temp, std::to_string(c.number) + "R");
        ExpectKept(path, c.content);
        EXPECT_EQ(std::vector<std::string>(), Files_List(target));
    }
}

// A second copier on a job that one already runs (a relaunch, a second
// "/startup") ends silently; the same number in another temporary folder
// is another job and runs.
TEST(Startup, OneCopierPerJob)
{
    std::string temp = Driver_NewTempFolder("OnePerJob");
    std::string otherTemp = Driver_NewTempFolder("OnePerJobOther");
    std::string work = Driver_NewWorkFolder("OnePerJob");
    std::string job = WriteSoundJob(temp, work, 123, JOB_MODE_MOVE);
    std::string content;
    ASSERT_TRUE(Driver_ReadFile(job, &content));
    ASSERT_FALSE(WriteSoundJob(otherTemp, work, 123, JOB_MODE_MOVE).empty());

    DRIVER_COPIER first = {};
    ASSERT_TRUE(Driver_StartCopier(temp, "123R", &first));
    HWND window = Driver_WaitForProgressWindow(&first);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));

    // A second copier that ran the move would take a.txt away.
    ExpectSilentEnd(temp, "123");
    ExpectSilentEnd(temp, "123R");
    ExpectKept(job, content);
    EXPECT_TRUE(Driver_FileExists(work + "a.txt"));
    EXPECT_EQ("Ready to resume...", OpenPausedAndCancel(otherTemp, "123"));

    Driver_Click(window, IDC_PROGRESS_CANCEL);
    EXPECT_TRUE(Driver_WaitForExit(&first));
    Driver_Kill(&first);
    EXPECT_TRUE(Driver_FileExists(work + "a.txt"));
    EXPECT_FALSE(Driver_FileExists(job));
}

TEST(Startup, LargeJobsLoad)
{
    std::string temp = Driver_NewTempFolder("LargeJobs");
    std::string work = Driver_NewWorkFolder("LargeJobs");
    for (int count : {200, 70000}) {
        std::string number = count == 200 ? "210" : "270";
        std::string job = Driver_WriteJob(temp, atoi(number.c_str()),
                                          JOB_MODE_COPY, work + "into",
                                          Sources(count, work + "missing_"));
        ASSERT_FALSE(job.empty());
        EXPECT_EQ("Ready to resume...", OpenPausedAndCancel(temp, number))
            << count << " sources";
        EXPECT_FALSE(Driver_FileExists(job));
    }
}

TEST(Startup, ModeByteTwoRunsAsACopy)
{
    std::string temp = Driver_NewTempFolder("ModeTwo");
    std::string work = Driver_NewWorkFolder("ModeTwo");
    std::string data = Files_Pattern(3000000, 22);
    ASSERT_TRUE(Driver_WriteFile(work + "source.bin", data));
    ASSERT_TRUE(CreateDirectoryA((work + "into").c_str(), NULL));
    std::string job = Driver_WriteJob(temp, 222, 2, work + "into",
                                      {work + "source.bin"});
    ASSERT_FALSE(job.empty());

    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(temp, "222R", &copier, true));
    HWND window = Driver_WaitForProgressWindow(&copier);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    EXPECT_TRUE(Driver_WaitForExit(&copier));
    Driver_Kill(&copier);

    // Every title shown speaks of copying, up to "Finished".
    std::vector<std::string> titles = Driver_RecordedTitles(temp);
    ASSERT_GE(titles.size(), 4u);
    EXPECT_EQ("Preparing to copy...", titles[0]);
    EXPECT_EQ("Ready to resume...", titles[1]);
    EXPECT_EQ("(0%) Copying...", titles[2]);
    EXPECT_EQ("Finished", titles.back());
    for (size_t i = 3; i + 1 < titles.size(); i++)
        EXPECT_NE(std::string::npos, titles[i].find("%) Copying..."))
            << "title \"" << titles[i] << "\"";

    // A copy: the source stays, the target is the same bytes.
    EXPECT_TRUE(Files_HasBytes(work + "into\\source.bin", data));
    EXPECT_TRUE(Files_HasBytes(work + "source.bin", data));
    EXPECT_FALSE(Driver_FileExists(job));
}

// The resume scan starts C:\windows\tesrun.exe; the stand-in takes that
// place for the test and records every launch.
class ResumeScan : public ::testing::Test {
protected:
    void SetUp() override
    {
        temp = Driver_NewTempFolder(Files_TestName());
        records = Driver_NewWorkFolder(Files_TestName());
        ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    }

    // Runs "/startup" on the temporary folder and returns the recorded
    // arguments once the scan and every copier it started have ended.
    std::vector<std::string> RunScan()
    {
        DRIVER_COPIER scan = {};
        EXPECT_TRUE(Driver_StartCopier(temp, "/startup", &scan));
        DWORD exitCode = 0;
        bool sawWindow = true;
        EXPECT_TRUE(Driver_WaitForExitWithoutWindow(&scan, DRIVER_TIMEOUT_MS,
                                                    &exitCode, &sawWindow));
        EXPECT_FALSE(sawWindow);
        // The scan's handle, still open, keeps its id from being reused.
        std::vector<std::string> arguments =
            Driver_RecordedLaunches(records, scan.process.dwProcessId);
        Driver_Kill(&scan);
        return arguments;
    }

    std::string temp;
    std::string records;
    DRIVER_INSTALLED_COPIER standin;
};

TEST_F(ResumeScan, NoJobFilesStartNothing)
{
    EXPECT_EQ(std::vector<std::string>(), RunScan());
    // The same scan with one job file does launch it: the stand-in records
    // here, so the empty list above is no silent recorder's.
    ASSERT_FALSE(
        Driver_WriteJob(temp, 123, JOB_MODE_COPY, "D:\\", {"C:\\a"}).empty());
    EXPECT_EQ(std::vector<std::string>{"123R"}, RunScan());
}

TEST_F(ResumeScan, SixtyJobFilesStartFifty)
{
    std::set<std::string> expected;
    for (int number = 200; number < 260; number++) {
        ASSERT_FALSE(
            Driver_WriteJob(temp, number, JOB_MODE_COPY, "D:\\", {"C:\\a"})
                .empty());
        expected.insert(std::to_string(number) + "R");
    }
    std::vector<std::string> arguments = RunScan();
    EXPECT_EQ(50u, arguments.size());
    std::set<std::string> distinct(arguments.begin(), arguments.end());
    EXPECT_EQ(arguments.size(), distinct.size()) << "a job launched twice";
    for (const std::string &argument : arguments)
        EXPECT_TRUE(expected.count(argument)) << "launched \"" << argument << "\"";
    // The scan only lists the files; all of them stay.
    for (int number = 200; number < 260; number++)
        EXPECT_TRUE(Driver_FileExists(temp + "tesqueue." + std::to_string(number)));
}

TEST_F(ResumeScan, NamesThatAreNoJobFilesAreNotRelaunched)
{
    for (int number : {301, 302, 303})
        ASSERT_FALSE(
            Driver_WriteJob(temp, number, JOB_MODE_COPY, "D:\\", {"C:\\a"})
                .empty());
    // Found by "tesqueue.*" but not job files; tesqueue.1234's short name
    // may end in ".123", 12 has too few digits, and a folder is no file.
    for (const char *odd : {"tesqueue.12", "tesqueue.1234", "tesqueue.12a",
                            "tesqueue.txt"})
        ASSERT_TRUE(Driver_WriteFile(temp + odd, "not a job"));
    ASSERT_TRUE(CreateDirectoryA((temp + "tesqueue.304").c_str(), NULL));

    EXPECT_EQ((std::vector<std::string>{"301R", "302R", "303R"}), RunScan());
}
