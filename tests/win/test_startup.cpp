// tesrun.exe's start-up, driven from outside: which arguments and job files
// open the progress window, which end silently (exit code 1, no window, the
// job file kept), and the resume scan's relaunches, recorded by a stand-in
// copier put where the installed one lives.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "job_file.h"
#include "resource_ids.h"
#include "ui_driver.h"

namespace {

std::vector<std::string> Sources(int count, const std::string &prefix)
{
    std::vector<std::string> sources;
    for (int i = 0; i < count; i++)
        sources.push_back(prefix + std::to_string(i) + ".dat");
    return sources;
}

// Starts the copier on `argument` and expects the silent end: exit code 1
// and no visible window at any moment of its life.
void ExpectSilentEnd(const std::string &temp, const std::string &argument)
{
    DRIVER_COPIER copier;
    ASSERT_TRUE(Driver_StartCopier(temp, argument, &copier)) << argument;
    DWORD exitCode = 0;
    bool sawWindow = true;
    EXPECT_TRUE(Driver_WaitForExitWithoutWindow(&copier, DRIVER_TIMEOUT_MS,
                                                &exitCode, &sawWindow))
        << "still running: \"" << argument << "\"";
    EXPECT_EQ(1u, exitCode) << "\"" << argument << "\"";
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

// Opens the job paused, checks the window and cancels it.  Returns the
// title seen.
std::string OpenPausedAndCancel(const std::string &temp, const std::string &number)
{
    DRIVER_COPIER copier;
    EXPECT_TRUE(Driver_StartCopier(temp, number + "R", &copier));
    HWND window = Driver_WaitForProgressWindow(&copier);
    EXPECT_TRUE(window != NULL) << "job " << number << " opened no window";
    std::string title;
    if (window) {
        Driver_WaitForTitle(window, "Ready to resume...");
        title = Driver_GetText(window);
        Driver_Click(window, IDC_PROGRESS_CANCEL);
    }
    DWORD exitCode = 0;
    EXPECT_TRUE(Driver_WaitForExit(&copier, DRIVER_TIMEOUT_MS, &exitCode));
    EXPECT_EQ(1u, exitCode);
    Driver_Kill(&copier);
    return title;
}

bool IsCopyTitle(const std::string &title)
{
    return title.compare(0, 17, "Preparing to copy") == 0 ||
           title.find("Copying") != std::string::npos || title == "Finished";
}

}  // namespace

TEST(Startup, PausedArgumentOpensTheJobAndCancelDeletesIt)
{
    std::string temp = Driver_NewTempFolder("PausedArgument");
    std::string work = Driver_NewWorkFolder("PausedArgument");
    ASSERT_TRUE(Driver_WriteFile(work + "a.txt", "contents"));
    std::string job = Driver_WriteJob(temp, 123, JOB_MODE_COPY, work + "into",
                                      {work + "a.txt"});
    ASSERT_FALSE(job.empty());

    DRIVER_COPIER copier;
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
    EXPECT_EQ(1u, exitCode);
    EXPECT_FALSE(Driver_FileExists(job));
    EXPECT_FALSE(Driver_FileExists(work + "into\\a.txt"));
    Driver_Kill(&copier);
}

TEST(Startup, JobOfNoSourcesFinishesAndDeletesItsFile)
{
    std::string temp = Driver_NewTempFolder("NoSources");
    std::string work = Driver_NewWorkFolder("NoSources");
    std::string job = Driver_WriteJob(temp, 200, JOB_MODE_COPY, work, {});
    ASSERT_FALSE(job.empty());

    DRIVER_COPIER copier;
    ASSERT_TRUE(Driver_StartCopier(temp, "200", &copier));
    DWORD exitCode = 0;
    EXPECT_TRUE(Driver_WaitForExit(&copier, DRIVER_TIMEOUT_MS, &exitCode));
    EXPECT_EQ(1u, exitCode);
    EXPECT_FALSE(Driver_FileExists(job));
    Driver_Kill(&copier);
}

TEST(Startup, ArgumentsThatNameNoJobEndSilently)
{
    std::string temp = Driver_NewTempFolder("NoJobArguments");
    std::string work = Driver_NewWorkFolder("NoJobArguments");
    // A sound job sits in the folder: none of these may pick it up.
    std::string job = Driver_WriteJob(temp, 123, JOB_MODE_COPY, work, {});
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
}

TEST(Startup, ShortAndDamagedJobFilesAreRefusedAndKept)
{
    std::string temp = Driver_NewTempFolder("DamagedJobs");
    std::string work = Driver_NewWorkFolder("DamagedJobs");
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
        {304, header + std::string("\x03\x00\x00\x00", 4) + "D:\\" + '\0' +
                  "C:\\a" + '\0',
         "fewer sources than the count"},
        {305, header + std::string("\x01\x00\x00\x00", 4) + "D:\\" + '\0' +
                  "C:\\a",
         "last source without its NUL"},
        {306, header + std::string("\x00\x00\x00\x00", 4) + "D:\\target",
         "target without its NUL"},
        {307, header + std::string("\x01\x00\x00\x00", 4) + "D:\\" + '\0' +
                  "C:\\" + std::string(1200, 'p') + '\0',
         "source longer than any path"},
        // It would copy into the root of the current drive.
        {308, header + std::string("\x01\x00\x00\x00", 4) + '\0' + "C:\\a" +
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
    ASSERT_TRUE(Driver_WriteFile(work + "a.txt", "contents"));
    std::string job = Driver_WriteJob(temp, 123, JOB_MODE_MOVE, work + "into",
                                      {work + "a.txt"});
    Driver_WriteJob(otherTemp, 123, JOB_MODE_MOVE, work + "into",
                    {work + "a.txt"});

    DRIVER_COPIER first;
    ASSERT_TRUE(Driver_StartCopier(temp, "123R", &first));
    HWND window = Driver_WaitForProgressWindow(&first);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));

    ExpectSilentEnd(temp, "123");
    ExpectSilentEnd(temp, "123R");
    EXPECT_TRUE(Driver_FileExists(job)) << "the running job lost its file";
    EXPECT_EQ("Ready to resume...", OpenPausedAndCancel(otherTemp, "123"));

    Driver_Click(window, IDC_PROGRESS_CANCEL);
    EXPECT_TRUE(Driver_WaitForExit(&first));
    Driver_Kill(&first);
    EXPECT_TRUE(Driver_FileExists(work + "a.txt"));
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
    std::string data(3000000, 'm');
    for (size_t i = 0; i < data.size(); i += 4096)
        data[i] = (char)(i / 4096);
    ASSERT_TRUE(Driver_WriteFile(work + "source.bin", data));
    ASSERT_TRUE(CreateDirectoryA((work + "into").c_str(), NULL));
    std::string job = Driver_WriteJob(temp, 222, 2, work + "into",
                                      {work + "source.bin"});
    ASSERT_FALSE(job.empty());

    DRIVER_COPIER copier;
    ASSERT_TRUE(Driver_StartCopier(temp, "222R", &copier));
    HWND window = Driver_WaitForProgressWindow(&copier);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_PAUSE);

    // Every title shown from Resume to the end speaks of copying.
    std::set<std::string> titles;
    DWORD exitCode = 0;
    DWORD start = GetTickCount();
    while (!Driver_WaitForExit(&copier, 5, &exitCode) &&
           GetTickCount() - start < DRIVER_TIMEOUT_MS) {
        std::string title = Driver_GetText(window);
        if (!title.empty() && title != "Ready to resume...")
            titles.insert(title);
    }
    EXPECT_TRUE(Driver_WaitForExit(&copier, 0, &exitCode));
    EXPECT_EQ(1u, exitCode);
    for (const std::string &title : titles)
        EXPECT_TRUE(IsCopyTitle(title)) << "title \"" << title << "\"";

    // A copy: the source stays, the target is the same bytes.
    std::string copied;
    EXPECT_TRUE(Driver_ReadFile(work + "into\\source.bin", &copied));
    EXPECT_TRUE(copied == data) << "target differs from the source";
    EXPECT_TRUE(Driver_FileExists(work + "source.bin"));
    EXPECT_FALSE(Driver_FileExists(job));
    Driver_Kill(&copier);
}

// The resume scan starts C:\windows\tesrun.exe; the stand-in takes that
// place for the test and records every launch.
class ResumeScan : public ::testing::Test {
protected:
    void SetUp() override
    {
        char windows[MAX_PATH];
        UINT length = GetWindowsDirectoryA(windows, sizeof windows);
        ASSERT_TRUE(length > 0 && length < sizeof windows);
        installed = std::string(windows) + "\\tesrun.exe";
        saved = installed + ".saved-by-test";
        hadInstalled = Driver_FileExists(installed);
        if (hadInstalled) {
            ASSERT_TRUE(MoveFileExA(installed.c_str(), saved.c_str(),
                                    MOVEFILE_REPLACE_EXISTING));
        }
        ASSERT_TRUE(CopyFileA(
            (Driver_BinFolder() + "\\tesrun_standin.exe").c_str(),
            installed.c_str(), FALSE));
    }

    void TearDown() override
    {
        DeleteFileA(installed.c_str());
        if (hadInstalled)
            MoveFileExA(saved.c_str(), installed.c_str(),
                        MOVEFILE_REPLACE_EXISTING);
        SetEnvironmentVariableA("TES_STANDIN_RECORDS", NULL);
    }

    // Runs "/startup" on `temp`, waits for it and for every copier it
    // started, and returns the recorded arguments.
    std::vector<std::string> RunScan(const std::string &temp,
                                     const std::string &records)
    {
        std::vector<std::string> arguments;
        SetEnvironmentVariableA("TES_STANDIN_RECORDS", records.c_str());
        DRIVER_COPIER scan;
        EXPECT_TRUE(Driver_StartCopier(temp, "/startup", &scan));
        DWORD exitCode = 0;
        bool sawWindow = true;
        EXPECT_TRUE(Driver_WaitForExitWithoutWindow(&scan, DRIVER_TIMEOUT_MS,
                                                    &exitCode, &sawWindow));
        EXPECT_EQ(1u, exitCode);
        EXPECT_FALSE(sawWindow);
        // Every launch has been created once the scan has ended; the scan's
        // handle, still open, keeps its process id from being reused.
        WaitForChildren(scan.process.dwProcessId);
        Driver_Kill(&scan);

        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((records + "launch_*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string text;
                Driver_ReadFile(records + found.cFileName, &text);
                arguments.push_back(text);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        std::sort(arguments.begin(), arguments.end());
        return arguments;
    }

    // Waits until no process that `parent` started is alive.
    static void WaitForChildren(DWORD parent)
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        ASSERT_NE(INVALID_HANDLE_VALUE, snapshot);
        PROCESSENTRY32 entry;
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more;
             more = Process32Next(snapshot, &entry)) {
            // Wine's desktop process may name an earlier holder of the
            // scan's id as its parent, and it lives on: only copiers count.
            if (entry.th32ParentProcessID != parent ||
                lstrcmpiA(entry.szExeFile, "tesrun.exe") != 0)
                continue;
            HANDLE child =
                OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (!child)
                continue;   // already gone
            EXPECT_EQ(WAIT_OBJECT_0,
                      WaitForSingleObject(child, DRIVER_TIMEOUT_MS))
                << "a relaunched copier did not end";
            CloseHandle(child);
        }
        CloseHandle(snapshot);
    }

    std::string installed;
    std::string saved;
    bool hadInstalled = false;
};

TEST_F(ResumeScan, NoJobFilesStartNothing)
{
    std::string temp = Driver_NewTempFolder("ScanNothing");
    std::string records = Driver_NewWorkFolder("ScanNothing");
    EXPECT_TRUE(RunScan(temp, records).empty());
}

TEST_F(ResumeScan, SixtyJobFilesStartFifty)
{
    std::string temp = Driver_NewTempFolder("ScanSixty");
    std::string records = Driver_NewWorkFolder("ScanSixty");
    std::set<std::string> expected;
    for (int number = 200; number < 260; number++) {
        ASSERT_FALSE(
            Driver_WriteJob(temp, number, JOB_MODE_COPY, "D:\\", {"C:\\a"})
                .empty());
        expected.insert(std::to_string(number) + "R");
    }
    std::vector<std::string> arguments = RunScan(temp, records);
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
    std::string temp = Driver_NewTempFolder("ScanOddNames");
    std::string records = Driver_NewWorkFolder("ScanOddNames");
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

    std::vector<std::string> arguments = RunScan(temp, records);
    EXPECT_EQ((std::vector<std::string>{"301R", "302R", "303R"}), arguments);
}
