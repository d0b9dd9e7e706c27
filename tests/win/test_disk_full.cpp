// A target disk that fills up: the job says so before its first byte and
// may be ended there; started all the same, the error dialog names the
// target, offers a skip, and nothing is lost: the source stays whole (also
// in a move) and the partial target stays for a later run to continue.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resource_ids.h"
#include "job_end.h"
#include "test_files.h"
#include "ui_driver.h"

static const size_t c_sourceSize = 3000000;   // three chunks, disk holds one

// A 1 MiB tmpfs mounted on a folder of the test for its lifetime.
struct SMALL_DISK {
    std::string unixPath;
    ~SMALL_DISK()
    {
        if (!unixPath.empty())
            Driver_RunUnix("umount '" + unixPath + "'");
    }
};

// Mounts the small disk on `folder`; false when the host can't mount.
static bool SmallDisk_Mount(const std::string &folder, SMALL_DISK *disk)
{
    std::string unixPath = Driver_UnixPath(folder);
    if (unixPath.empty() ||
        !Driver_RunUnix("mount -t tmpfs -o size=1m tmpfs '" + unixPath + "'"))
        return false;
    // Mounted only if the folder's free space is now the small disk's.
    ULARGE_INTEGER freeBytes, totalBytes;
    std::string root = folder + "\\";
    if (!GetDiskFreeSpaceExA(root.c_str(), &freeBytes, &totalBytes, NULL))
        return false;
    disk->unixPath = unixPath;
    return totalBytes.QuadPart <= 2 * 1024 * 1024;
}

// Runs one job of `source` into the full disk and answers the error with
// "&Skip this file".  `shownSource` is the path the job names (in a move,
// the source under the other case of its drive letter).
static void RunIntoFullDisk(const char *testName, int mode,
                            const std::string &shownSource,
                            const std::string &target)
{
    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, testName, 456, mode, target,
                                {shownSource}));
    HWND question = Driver_WaitForDialog(&run.copier, "Not Enough Free Space");
    ASSERT_TRUE(question != NULL) << "the job was not told to be too large";
    Driver_Click(question, IDOK);
    const char *title = mode ? "Error Copying File" : "Error Moving File";
    HWND dialog = Driver_WaitForDialog(&run.copier, title);
    ASSERT_TRUE(dialog != NULL);

    std::string written = Files_Join(target, "big.bin");
    EXPECT_EQ(std::string(mode ? "Cannot copy " : "Cannot move ") +
                  Files_Lower(written),
              Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    std::string reason = Driver_GetItemText(dialog, IDC_ERROR_TEXT);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(std::string::npos, reason.find("Unknown error")) << reason;
    // Writing can be passed over.
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    Driver_Click(dialog, IDC_ERROR_SKIP);
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog));

    // The list of items left out is kept beside the job while it is shown,
    // and goes once the user has seen it.
    std::string listFile = Driver_SkippedListFile(run.jobFile);
    ASSERT_TRUE(Driver_WaitForSkippedList(&run.copier) != NULL);
    std::string kept;
    EXPECT_TRUE(Driver_ReadFile(listFile, &kept));
    EXPECT_NE(std::string::npos, kept.find(written))
        << "not in the kept list: " << kept;
    std::string skipped;
    ASSERT_TRUE(Driver_CloseSkippedList(&run.copier, &skipped));
    EXPECT_NE(std::string::npos, skipped.find(written)) << skipped;
    EXPECT_FALSE(Driver_FileExists(listFile));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));

    // The partial target stays, as far as the disk took it.
    LONGLONG partial = Files_Size(written);
    EXPECT_GT(partial, 0);
    EXPECT_LT(partial, (LONGLONG)c_sourceSize);
}

// A scene whose target folder is a 1 MiB disk, and a three-chunk source.
struct FULL_SCENE {
    FILES_SCENE files;
    SMALL_DISK disk;
    std::string source;
    std::string content;
};

static void FullScene_Make(const char *testName, FULL_SCENE *scene)
{
    ASSERT_TRUE(Files_NewScene(testName, &scene->files));
    scene->source = Files_Join(scene->files.src, "big.bin");
    scene->content = Files_Pattern(c_sourceSize, 21);
    ASSERT_TRUE(Driver_WriteFile(scene->source, scene->content));
    if (!SmallDisk_Mount(scene->files.dst, &scene->disk))
        GTEST_SKIP() << "cannot mount a small tmpfs here";
}

// Fills a 1 MiB disk with a three-chunk file in `mode` and checks that the
// source is whole afterwards.
static void FillTheDisk(const char *testName, int mode)
{
    FULL_SCENE full;
    FullScene_Make(testName, &full);
    if (::testing::Test::IsSkipped() || ::testing::Test::HasFatalFailure())
        return;
    FILES_SCENE &scene = full.files;
    const std::string &source = full.source;
    const std::string &content = full.content;

    // In a move, the other case of the drive letter keeps the source from
    // being renamed, so the move copies and must not delete on failure.
    std::string shownSource = mode ? source : Files_OnOtherDrive(source);
    RunIntoFullDisk(testName, mode, shownSource, scene.dst);

    EXPECT_TRUE(Files_HasBytes(source, content));
}

TEST(DiskFull, CopyReportsTheTargetAndKeepsThePartialFile)
{
    FillTheDisk("DiskFullCopy", 1);
}

TEST(DiskFull, MoveKeepsItsSource)
{
    FillTheDisk("DiskFullMove", 0);
}

TEST(DiskFull, JobLargerThanTheFreeSpaceCanBeEndedBeforeItsFirstByte)
{
    FULL_SCENE full;
    FullScene_Make("DiskFullCancel", &full);
    if (IsSkipped() || HasFatalFailure())
        return;
    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "DiskFullCancel", 457, 1, full.files.dst,
                                {full.source}));
    HWND question = Driver_WaitForDialog(&run.copier, "Not Enough Free Space");
    ASSERT_TRUE(question != NULL);
    // Both sizes, as the user reads them.
    std::string text = Driver_GetItemText(question, 0xFFFF);
    EXPECT_NE(std::string::npos, text.find("3.000.000 bytes")) << text;
    Driver_Click(question, IDCANCEL);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier));
    // Ended like a cancel: no byte written, the job gone, the source whole.
    EXPECT_TRUE(Files_List(full.files.dst).empty());
    EXPECT_FALSE(Driver_FileExists(run.jobFile));
    EXPECT_TRUE(Files_HasBytes(full.source, full.content));
}
