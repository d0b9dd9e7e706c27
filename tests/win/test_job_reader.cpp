// The walker the copier reads its job with: every path as UTF-16, from
// UTF-8 in a signed job and from the ANSI code page in an older one, never
// cut, never read past the body.  Jobs come from the real writer and from
// bytes as an older drop handler left them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job_file.h"
#include "job_file_reader.h"
#include "job_file_writer.h"
#include "ui_driver.h"
#include "wide_files.h"

namespace {

// A job file as the copier's loader holds it.
struct LOADED_JOB {
    int textForm = -1;
    int mode = -1;
    std::vector<uint8_t> body;
    JOB_BODY_INFO info = {};
};

// Reads `path`, takes the form from the header and checks the body as the
// copier does, with its path buffer of JOB_WIDE_PATH_MAX units.
::testing::AssertionResult LoadJob(const std::string &path, LOADED_JOB *job)
{
    std::string bytes;
    if (!Driver_ReadFileU(path, &bytes))
        return ::testing::AssertionFailure() << "cannot read " << path;
    if (bytes.size() < JOB_HEADER_SIZE)
        return ::testing::AssertionFailure() << "no header";
    const uint8_t *header = (const uint8_t *)bytes.data();
    job->textForm = JobFile_TextFormFromHeader(header);
    job->mode = JobFile_ModeFromHeader(header);
    job->body.assign(bytes.begin() + JOB_HEADER_SIZE, bytes.end());
    if (!JobFile_CheckBodyOfForm(job->body.data(), job->body.size(),
                                 job->textForm, JOB_WIDE_PATH_MAX, &job->info))
        return ::testing::AssertionFailure() << "body refused";
    return ::testing::AssertionSuccess();
}

// The target and every source, read with the copier's walker.
std::vector<std::wstring> ReadPaths(const LOADED_JOB &job)
{
    std::vector<std::wstring> paths;
    std::vector<WCHAR> path(JOB_WIDE_PATH_MAX + 1);
    uint32_t cursor = JOB_TARGET_OFFSET;
    EXPECT_TRUE(JobFile_NextSourceW(job.body.data(), job.body.size(),
                                    job.textForm, &cursor, path.data(),
                                    path.size()));
    paths.push_back(path.data());
    EXPECT_EQ(job.info.firstSourceOffset, cursor);
    for (uint32_t i = 0; i < job.info.sourceCount; i++) {
        EXPECT_TRUE(JobFile_NextSourceW(job.body.data(), job.body.size(),
                                        job.textForm, &cursor, path.data(),
                                        path.size()))
            << "source " << i;
        paths.push_back(path.data());
    }
    EXPECT_EQ(job.body.size(), cursor);
    return paths;
}

DWORD Reader_GetSource(void *context, uint32_t index, const WCHAR **path)
{
    *path = (*(const std::vector<std::wstring> *)context)[index].c_str();
    return ERROR_SUCCESS;
}

}  // namespace

TEST(JobReader, AnOldAnsiJobReadsInTheCodePage)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the ANSI code page is " << GetACP()
                     << ", not 1252 (run Wine under LANG=C.UTF-8)";
    // As a drop handler before the Unicode form wrote it: filler bytes, and
    // "café" as the one byte E9 of code page 1252.
    std::string temp = Driver_NewTempFolder("OldAnsiJob");
    std::string path = Driver_WriteJob(temp, 123, JOB_MODE_MOVE,
                                       "D:\\Ziel", {"C:\\caf\xE9.txt", "C:\\b"});
    LOADED_JOB job;
    ASSERT_TRUE(LoadJob(path, &job));
    EXPECT_EQ(JOB_TEXT_ANSI, job.textForm);
    EXPECT_EQ(JOB_MODE_MOVE, job.mode);
    EXPECT_EQ((std::vector<std::wstring>{L"D:\\Ziel", L"C:\\caf\u00E9.txt",
                                         L"C:\\b"}),
              ReadPaths(job));
}

TEST(JobReader, TheFormDecidesHowTheSameBytesRead)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    // "café" in UTF-8 is C3 A9: two characters of code page 1252.
    std::vector<uint8_t> body = {1, 0, 0, 0, 'D', ':', '\\', 0,
                                 'c', 'a', 'f', 0xC3, 0xA9, 0};
    WCHAR path[16];
    uint32_t cursor = 8;
    ASSERT_TRUE(JobFile_NextSourceW(body.data(), body.size(), JOB_TEXT_UTF8,
                                    &cursor, path, 16));
    EXPECT_STREQ(L"caf\u00E9", path);
    cursor = 8;
    ASSERT_TRUE(JobFile_NextSourceW(body.data(), body.size(), JOB_TEXT_ANSI,
                                    &cursor, path, 16));
    EXPECT_STREQ(L"caf\u00C3\u00A9", path);
}

TEST(JobReader, ASignedJobReadsBackEveryNameTheWriterWasGiven)
{
    std::string temp = Driver_NewTempFolder("SignedJob");
    std::vector<std::wstring> names = {
        Driver_Wide(u8"C:\\Дом\\файл.txt"), Driver_Wide(u8"C:\\日本語\\名前.txt"),
        Driver_Wide(u8"C:\\smile \U0001F600.txt"),
        Driver_Wide(u8"C:\\cafe\u0301.txt"), Driver_Wide(u8"C:\\\u0101.txt"),
        L"C:\\a.txt",
        // Past 260 characters, and the longest path Windows takes.
        L"C:\\" + std::wstring(300, L'\u0434'),
        L"C:\\" + std::wstring(JOB_WIDE_PATH_MAX - 3, L'x')};
    std::wstring target = Driver_Wide(u8"E:\\Цель");
    char number[4];
    {
        DRIVER_ENV_SCOPE tmp(L"TMP", temp);
        ASSERT_EQ((DWORD)ERROR_SUCCESS,
                  JobFile_Write(JOB_MODE_COPY, target.c_str(),
                                (uint32_t)names.size(), Reader_GetSource,
                                &names, number));
    }
    LOADED_JOB job;
    ASSERT_TRUE(LoadJob(temp + "tesqueue." + number, &job));
    EXPECT_EQ(JOB_TEXT_UTF8, job.textForm);
    EXPECT_EQ(JOB_MODE_COPY, job.mode);
    std::vector<std::wstring> expected = {target};
    expected.insert(expected.end(), names.begin(), names.end());
    EXPECT_EQ(expected, ReadPaths(job));
}

TEST(JobReader, APathThatDoesNotFitIsRefusedAndTheWalkStaysInStep)
{
    // In both forms: six units are needed for "C:\abc" with its NUL.
    const std::vector<uint8_t> body = {2, 0, 0, 0, 'D', ':', '\\', 0,
                                       'C', ':', '\\', 'a', 'b', 'c', 0,
                                       'C', ':', '\\', 'd', 0};
    for (int form : {JOB_TEXT_ANSI, JOB_TEXT_UTF8}) {
        WCHAR path[6];
        uint32_t cursor = 8;
        EXPECT_FALSE(JobFile_NextSourceW(body.data(), body.size(), form,
                                         &cursor, path, 6));
        EXPECT_STREQ(L"", path) << "a path was cut instead of refused";
        EXPECT_EQ(15u, cursor);
        EXPECT_TRUE(JobFile_NextSourceW(body.data(), body.size(), form,
                                        &cursor, path, 6));
        EXPECT_STREQ(L"C:\\d", path);
        EXPECT_EQ(body.size(), cursor);
        // At and past the end: nothing, and nothing read beyond the body.
        EXPECT_FALSE(JobFile_NextSourceW(body.data(), body.size(), form,
                                         &cursor, path, 6));
        EXPECT_STREQ(L"", path);
        cursor = 0xFFFFFF00u;
        EXPECT_FALSE(JobFile_NextSourceW(body.data(), body.size(), form,
                                         &cursor, path, 6));
        EXPECT_EQ(body.size(), cursor);
        // No room at all: nothing written, the cursor still moves on.
        cursor = 15;
        path[0] = L'#';
        EXPECT_FALSE(JobFile_NextSourceW(body.data(), body.size(), form,
                                         &cursor, path, 0));
        EXPECT_EQ(L'#', path[0]);
        EXPECT_EQ(body.size(), cursor);
    }
    // A last string without its NUL ends with the body.
    const std::vector<uint8_t> cut = {'C', ':', '\\', 0xC3, 0xA9};
    WCHAR path[8];
    uint32_t cursor = 0;
    EXPECT_TRUE(JobFile_NextSourceW(cut.data(), cut.size(), JOB_TEXT_UTF8,
                                    &cursor, path, 8));
    EXPECT_STREQ(L"C:\\\u00E9", path);
    EXPECT_EQ(cut.size(), cursor);
    cursor = 0;
    EXPECT_FALSE(JobFile_NextSourceW(cut.data(), cut.size() - 1,
                                     JOB_TEXT_UTF8, &cursor, path, 8))
        << "a sequence cut by the end of the body was decoded";
}
