// The job-file writer shared by the drop handler and tessubmit: exact bytes
// of the Unicode form, paths of any length and script, a fresh number when
// the drawn one is taken, no file left on failure, the copier started on
// its number, and a job written by tessubmit that the copier loads.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "installed_copier.h"
#include "job_file.h"
#include "job_file_writer.h"
#include "resource_ids.h"
#include "test_files.h"
#include "ui_driver.h"
#include "wide_files.h"

namespace {

DWORD Writer_GetSource(void *context, uint32_t index, const WCHAR **path)
{
    const std::vector<std::wstring> *sources =
        (const std::vector<std::wstring> *)context;
    *path = (*sources)[index].c_str();
    return ERROR_SUCCESS;
}

DWORD WriteJob(const std::string &tempFolder, int mode,
               const std::string &target,
               const std::vector<std::string> &sources, char *number)
{
    // The writer finds the temporary folder through TMP, as GetTempPathW
    // does; paths in UTF-8, as the tests hold them, become UTF-16.
    DRIVER_ENV_SCOPE scope(L"TMP", tempFolder);
    std::vector<std::wstring> wide;
    for (const std::string &source : sources)
        wide.push_back(Driver_Wide(source));
    return JobFile_Write(mode, Driver_Wide(target).c_str(),
                         (uint32_t)wide.size(), Writer_GetSource, &wide,
                         number);
}

// Every job file in `folder`, by name.
std::set<std::string> JobFilesIn(const std::string &folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace

// What the copier reads back from job file `number` of `temp`.
DRIVER_JOB ReadBack(const std::string &temp, const char *number)
{
    DRIVER_JOB job;
    EXPECT_TRUE(Driver_ReadJob(temp + "tesqueue." + number, &job)) << number;
    return job;
}

TEST(JobWriter, WritesTheExactBytes)
{
    std::string temp = Driver_NewTempFolder("ExactBytes");
    char number[4];
    ASSERT_EQ((DWORD)ERROR_SUCCESS,
              WriteJob(temp, JOB_MODE_COPY, "D:\\", {"C:\\a.txt"}, number));
    int value = atoi(number);
    EXPECT_EQ(3u, strlen(number));
    EXPECT_GE(value, JOB_NUMBER_FIRST);
    EXPECT_LE(value, JOB_NUMBER_LAST);

    // C:\a.txt copied onto the root of D: is 25 bytes: seven filler bytes,
    // the mode, the count, the target and the source, each with its NUL.
    std::string content;
    ASSERT_TRUE(Driver_ReadFile(temp + "tesqueue." + number, &content));
    ASSERT_EQ(25u, content.size());
    // The Unicode form's signature, the mode, the count, the target and
    // the source.
    EXPECT_EQ(std::string("TesUTF8"
                          "\x01"
                          "\x01\x00\x00\x00"
                          "D:\\\0"
                          "C:\\a.txt\0",
                          25),
              content);
    EXPECT_EQ(std::set<std::string>{std::string("tesqueue.") + number},
              JobFilesIn(temp));

    // A move of many sources, with long paths, crossing the writer's
    // buffer: the copier reads back every source in order.
    std::vector<std::string> many;
    size_t manyBytes = 12 + strlen("E:\\target folder") + 1;
    for (int i = 0; i < 300; i++) {
        many.push_back("C:\\some folder\\" + std::string(200, 'a' + i % 26) +
                       std::to_string(i));
        manyBytes += many.back().size() + 1;
    }
    char second[4];
    ASSERT_EQ((DWORD)ERROR_SUCCESS,
              WriteJob(temp, JOB_MODE_MOVE, "E:\\target folder", many, second));
    EXPECT_STRNE(number, second);
    DRIVER_JOB job = ReadBack(temp, second);
    EXPECT_EQ(JOB_MODE_MOVE, job.modeByte);
    EXPECT_EQ("E:\\target folder", job.target);
    EXPECT_EQ(many, job.sources);
    EXPECT_EQ((LONGLONG)manyBytes,
              Files_Size(temp + "tesqueue." + second)) << "bytes behind the job";

    // Paths past the old 259 characters, up to the longest Windows takes,
    // are written whole.
    std::vector<std::string> longOnes = {
        "C:\\" + std::string(400, 'x'),
        "C:\\" + std::string(JOB_WIDE_PATH_MAX - 3, 'y')};
    char third[4];
    ASSERT_EQ((DWORD)ERROR_SUCCESS,
              WriteJob(temp, JOB_MODE_COPY, "D:\\", longOnes, third));
    EXPECT_EQ(longOnes, ReadBack(temp, third).sources);
}

TEST(JobWriter, NamesOfEveryScriptAreWrittenAsTheirUtf8)
{
    std::string temp = Driver_NewTempFolder("EveryScript");
    const std::vector<std::string> sources = {
        u8"C:\\Дом\\файл.txt", u8"C:\\日本語\\名前.txt",
        u8"C:\\smile \U0001F600.txt", u8"C:\\cafe\u0301.txt",
        u8"C:\\\u0101.txt", "C:\\a.txt"};
    char number[4];
    ASSERT_EQ((DWORD)ERROR_SUCCESS, WriteJob(temp, JOB_MODE_MOVE,
                                             u8"D:\\Цель 日本", sources, number));
    DRIVER_JOB job = ReadBack(temp, number);
    EXPECT_EQ(u8"D:\\Цель 日本", job.target);
    EXPECT_EQ(sources, job.sources);
    std::string content;
    ASSERT_TRUE(Driver_ReadFile(temp + "tesqueue." + number, &content));
    // The neighbours stay apart: "ā" is C4 81, never best-fitted to "a".
    EXPECT_NE(std::string::npos, content.find("C:\\\xC4\x81.txt"));
}

TEST(JobWriter, PathsUtf8CannotCarryOrNoCopierCouldOpenLeaveNoFile)
{
    std::string temp = Driver_NewTempFolder("Unwritable");
    struct { std::wstring target; std::vector<std::wstring> sources;
             DWORD error; } refused[] = {
        // An unpaired surrogate (a name a file system may hold, but no
        // UTF-8 text): refused rather than replaced by another name.
        {L"D:\\", {L"C:\\a", std::wstring(L"C:\\x") + (wchar_t)0xD800 + L"y"},
         ERROR_NO_UNICODE_TRANSLATION},
        {std::wstring(L"D:\\") + (wchar_t)0xDC00, {L"C:\\a"},
         ERROR_NO_UNICODE_TRANSLATION},
        // Longer than any path the W functions take.
        {L"D:\\", {L"C:\\" + std::wstring(JOB_WIDE_PATH_MAX, L'z')},
         ERROR_FILENAME_EXCED_RANGE},
        {L"D:\\" + std::wstring(JOB_WIDE_PATH_MAX, L'z'), {L"C:\\a"},
         ERROR_FILENAME_EXCED_RANGE},
        // No target: the copier would refuse the job at every logon.
        {L"", {L"C:\\a"}, ERROR_INVALID_PARAMETER},
    };
    DRIVER_ENV_SCOPE scope(L"TMP", temp);
    for (auto &job : refused) {
        char number[4] = "xyz";
        EXPECT_EQ(job.error,
                  JobFile_Write(JOB_MODE_COPY, job.target.c_str(),
                                (uint32_t)job.sources.size(), Writer_GetSource,
                                &job.sources, number));
        EXPECT_STREQ("", number);
        EXPECT_TRUE(JobFilesIn(temp).empty());
    }
}

TEST(JobWriter, TheCopierStartsWithItsPathAndTheNumberAsItsCommandLine)
{
    std::string work = Driver_NewWorkFolder("StartCopier");
    std::string records = work + "records";
    ASSERT_TRUE(CreateDirectoryA(records.c_str(), NULL));
    DRIVER_ENV_SCOPE recordsScope(L"TES_STANDIN_RECORDS", records);
    // A folder outside the code page, and one with a blank in its name,
    // which must be quoted so that the copier's argument is the number.
    const std::string folders[] = {work + u8"Копир", work + u8"Копир 日本"};
    const std::string expected[] = {
        work + u8"Копир\\tesrun.exe 123",
        "\"" + work + u8"Копир 日本\\tesrun.exe\" 456"};
    const char *numbers[] = {"123", "456"};
    for (int i = 0; i < 2; i++) {
        Files_MakeFolderU(folders[i]);
        ASSERT_TRUE(CopyFileW(
            Driver_Wide(Driver_BinFolder() + "\\tesrun_standin.exe").c_str(),
            Driver_Wide(folders[i] + "\\tesrun.exe").c_str(), FALSE));
        EXPECT_EQ((DWORD)ERROR_SUCCESS,
                  JobFile_StartCopier(Driver_Wide(folders[i]).c_str(),
                                      numbers[i]));
        std::vector<std::string> lines =
            Driver_RecordedCommandLines(records, GetCurrentProcessId());
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(),
                                         expected[i]))
            << (lines.empty() ? std::string("no launch") : lines.back());
    }
    EXPECT_EQ((std::vector<std::string>{"123", "456"}),
              Driver_RecordedLaunches(records, GetCurrentProcessId()));

    // No copier there: the system's error, nothing started.
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND,
              JobFile_StartCopier(Driver_Wide(records).c_str(), "789"));
    EXPECT_EQ(2u, Driver_RecordedLaunches(records, GetCurrentProcessId()).size());
}

TEST(JobWriter, TakesAnotherNumberWhenTheDrawnOneExists)
{
    std::string temp = Driver_NewTempFolder("NumberClash");
    // Every number but one is taken, each by a job of its own: whatever
    // the generator draws, only 555 is free.
    for (int n = JOB_NUMBER_FIRST; n <= JOB_NUMBER_LAST; n++) {
        if (n == 555)
            continue;
        ASSERT_TRUE(
            Driver_WriteFile(temp + "tesqueue." + std::to_string(n), "old job"));
    }
    char number[4];
    const std::vector<std::string> sources = {"C:\\new.txt"};
    ASSERT_EQ((DWORD)ERROR_SUCCESS,
              WriteJob(temp, JOB_MODE_COPY, "D:\\", sources, number));
    EXPECT_STREQ("555", number);
    EXPECT_EQ(sources, ReadBack(temp, "555").sources);
    std::string content;

    // No existing job was appended to.
    for (int n = JOB_NUMBER_FIRST; n <= JOB_NUMBER_LAST; n++) {
        if (n == 555)
            continue;
        ASSERT_TRUE(
            Driver_ReadFile(temp + "tesqueue." + std::to_string(n), &content));
        ASSERT_EQ("old job", content) << n;
    }

    // With all 898 numbers taken the writer fails and writes nothing.
    char none[4] = "xyz";
    EXPECT_NE((DWORD)ERROR_SUCCESS,
              WriteJob(temp, JOB_MODE_COPY, "D:\\", sources, none));
    EXPECT_STREQ("", none);
    EXPECT_EQ((size_t)JOB_NUMBER_COUNT, JobFilesIn(temp).size());
    EXPECT_EQ(sources, ReadBack(temp, "555").sources);
}

TEST(JobWriter, TempPathOverTheLimitLeavesNoFile)
{
    std::string base = Driver_NewTempFolder("LongTempPath");
    ASSERT_LT(base.size(), 150u) << "build folder too deep for this test";

    // Folders whose path, with its trailing backslash, is exactly 187 and
    // 188 characters long.
    std::string fits = base + std::string(187 - base.size() - 1, 'f') + "\\";
    std::string over = base + std::string(188 - base.size() - 1, 'o') + "\\";
    ASSERT_EQ(187u, fits.size());
    ASSERT_EQ(188u, over.size());
    ASSERT_TRUE(CreateDirectoryA(fits.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(over.c_str(), NULL));

    char number[4] = "xyz";
    const std::vector<std::string> sources = {"C:\\a.txt"};
    EXPECT_NE((DWORD)ERROR_SUCCESS,
              WriteJob(over, JOB_MODE_COPY, "D:\\", sources, number));
    EXPECT_STREQ("", number);
    EXPECT_TRUE(JobFilesIn(over).empty());

    ASSERT_EQ((DWORD)ERROR_SUCCESS,
              WriteJob(fits, JOB_MODE_COPY, "D:\\", sources, number));
    EXPECT_EQ(1u, JobFilesIn(fits).size());
    EXPECT_TRUE(Driver_FileExists(fits + "tesqueue." + number));
}

TEST(JobWriter, FolderThatCannotTakeTheFileLeavesNoFile)
{
    // A run that stopped half-way may have left the folder immutable.
    std::string base = Driver_NewTempFolder("UnwritableTemp");
    std::string unixLocked = Driver_UnixPath(base + "locked");
    if (Driver_FileExists(base + "locked")) {
        Driver_RunUnix("chattr -i '" + unixLocked + "'");
        base = Driver_NewTempFolder("UnwritableTemp");
    }
    const std::vector<std::string> sources = {"C:\\a.txt"};

    // A temporary folder that does not exist.
    char number[4] = "xyz";
    EXPECT_NE((DWORD)ERROR_SUCCESS, WriteJob(base + "missing\\", JOB_MODE_COPY,
                                             "D:\\", sources, number));
    EXPECT_STREQ("", number);
    EXPECT_FALSE(Driver_FileExists(base + "missing"));

    // An immutable folder refuses new files even to root.
    std::string locked = base + "locked\\";
    ASSERT_TRUE(CreateDirectoryA(locked.c_str(), NULL));
    ASSERT_TRUE(Driver_RunUnix("chattr +i '" + unixLocked + "'"));
    bool immutable = !Driver_WriteFile(locked + "probe", "x");
    if (immutable) {
        strcpy(number, "xyz");
        DWORD error = WriteJob(locked, JOB_MODE_COPY, "D:\\", sources, number);
        EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, error);
        EXPECT_STREQ("", number);
        EXPECT_TRUE(JobFilesIn(locked).empty());
    }
    Driver_RunUnix("chattr -i '" + unixLocked + "'");
    if (!immutable)
        GTEST_SKIP() << "chattr +i has no effect on this file system";
}

TEST(JobWriter, SubmitToolWritesAJobTheCopierLoads)
{
    std::string temp = Driver_NewTempFolder("SubmitLoads");
    std::string work = Driver_NewWorkFolder("SubmitLoads");
    ASSERT_TRUE(Driver_WriteFile(work + "report.txt", "some bytes"));
    std::string target = work + "into";
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));

    PROCESS_INFORMATION submit;
    ASSERT_TRUE(Driver_StartProgram(
        Driver_BinFolder() + "\\tessubmit.exe",
        "tessubmit.exe /nostart \"" + target + "\" \"" + work + "report.txt\"",
        temp, &submit));
    ASSERT_EQ(WAIT_OBJECT_0,
              WaitForSingleObject(submit.hProcess, DRIVER_TIMEOUT_MS));
    DWORD exitCode = 1;
    GetExitCodeProcess(submit.hProcess, &exitCode);
    CloseHandle(submit.hProcess);
    CloseHandle(submit.hThread);
    EXPECT_EQ(0u, exitCode);

    std::set<std::string> jobs = JobFilesIn(temp);
    ASSERT_EQ(1u, jobs.size());
    std::string name = *jobs.begin();
    ASSERT_EQ(12u, name.size());
    std::string number = name.substr(9);
    DRIVER_JOB job = ReadBack(temp, number.c_str());
    EXPECT_EQ(JOB_MODE_COPY, job.modeByte);
    EXPECT_EQ(target, job.target);
    EXPECT_EQ(std::vector<std::string>{work + "report.txt"}, job.sources);

    // Paused, so the window stays until the test closes it.
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(temp, number + "R", &copier));
    HWND window = Driver_WaitForProgressWindow(&copier);
    ASSERT_TRUE(window != NULL);
    EXPECT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_CANCEL);
    EXPECT_TRUE(Driver_WaitForExit(&copier));
    EXPECT_TRUE(Driver_WaitForFile(temp + name, false));
    EXPECT_FALSE(Driver_FileExists(target + "\\report.txt"));
    Driver_Kill(&copier);
}
