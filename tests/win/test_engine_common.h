// Helpers shared by the engine's Wine tests: sources made from a seed (its
// bytes and its time), each test's folders, running one job to its end,
// and targets compared byte for byte and by time.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job_file.h"
#include "test_files.h"
#include "ui_driver.h"

// Writes a source file with `size` bytes of seed `seed` and that seed's
// time.  Returns its bytes.
inline std::string Engine_MakeFile(const std::string &path, size_t size,
                                   unsigned seed)
{
    std::string bytes = Files_Pattern(size, seed);
    Files_MakeFile(path, bytes, Files_SeedTime(seed));
    return bytes;
}

// The target holds exactly `bytes` and bears the last-write time of seed
// `seed` (creation times are not kept by Wine, so they prove nothing).
inline void Engine_ExpectFile(const std::string &path, const std::string &bytes,
                              unsigned seed)
{
    EXPECT_TRUE(Files_HasBytes(path, bytes));
    EXPECT_TRUE(Files_HasWriteTime(path, Files_SeedTime(seed)));
}

// Writes the job, starts the copier on it and waits for the process to
// end by itself.  Fails the test (and ends the copier) when it does not.
inline void Engine_RunJob(const std::string &tempFolder, int number, int mode,
                          const std::string &target,
                          const std::vector<std::string> &sources,
                          DWORD timeoutMs = 60000)
{
    Driver_WriteJob(tempFolder, number, mode, target, sources);
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(tempFolder, std::to_string(number), &copier));
    bool ended = Driver_WaitForExit(&copier, timeoutMs);
    bool asked = Driver_HasDialog(&copier, "Confirm File Replace") ||
                 Driver_HasDialog(&copier, "Error Copying File") ||
                 Driver_HasDialog(&copier, "Error Moving File");
    std::string questions = asked ? Driver_DescribeDialogs(&copier) : "";
    Driver_Kill(&copier);
    EXPECT_FALSE(asked) << "the job stopped at a question:\n" << questions;
    ASSERT_TRUE(ended) << "the copier did not finish the job by itself";
    std::string jobFile =
        Files_Join(tempFolder, "tesqueue." + std::to_string(number));
    EXPECT_FALSE(Driver_FileExists(jobFile))
        << "a finished job keeps no job file";
}

// A fresh folder on drive C: of the test prefix.  The test area lies on
// another letter (Z:, Wine's view of the Unix root), so C: and the test
// area are two drives for the copier: a move between them must copy and
// delete instead of renaming.
inline std::string Engine_FolderOnDriveC(const char *name)
{
    std::string folder = std::string("C:\\tes_engine_") + name;
    Files_RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

// Each test's folders, made afresh: temp for the job files, and the empty
// folders src and dst inside its work folder.
class EngineTest : public ::testing::Test, protected FILES_SCENE {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Files_NewScene(Files_TestName(), this));
    }
};
