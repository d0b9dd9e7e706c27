// Helpers shared by the engine's Wine tests: sources made from a seed (its
// bytes and its time), each test's folders, running one job to its end,
// and targets compared byte for byte and by time.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_answers.h"
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

// Writes the job, starts the copier on it and lets it run to its end.
// Fails the test (and ends the copier) when it asks anything or does not
// end by itself.
inline void Engine_RunJob(const std::string &tempFolder, int number, int mode,
                          const std::string &target,
                          const std::vector<std::string> &sources,
                          DWORD timeoutMs = 60000)
{
    std::string jobFile =
        Driver_WriteJob(tempFolder, number, mode, target, sources);
    ASSERT_FALSE(jobFile.empty());
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(tempFolder, std::to_string(number), &copier));
    bool clean = Driver_RunWithoutQuestions(&copier, timeoutMs);
    Driver_Kill(&copier);
    ASSERT_TRUE(clean);
    EXPECT_FALSE(Driver_FileExists(jobFile))
        << "a finished job keeps no job file";
}

// A fresh folder `name` in `work`, named through the other case of its
// drive letter (Files_OnOtherDrive): to the copier another drive than the
// rest of the test area, so a move between the two copies and deletes
// instead of renaming.
inline std::string Engine_FolderOnOtherDrive(const std::string &work,
                                             const char *name)
{
    std::string folder = Files_Join(work, name);
    Files_RemoveTree(folder);
    Files_MakeFolder(folder);
    return Files_OnOtherDrive(folder);
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
