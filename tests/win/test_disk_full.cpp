// A target disk that fills up: the error dialog names the target, offers
// a skip, and nothing is lost: the source stays whole (also in a move) and
// the partial target stays for a later run to continue.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resource_ids.h"
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

    ASSERT_TRUE(Driver_WaitForExit(&run.copier));
    EXPECT_FALSE(Driver_FileExists(run.jobFile));

    // The partial target stays, as far as the disk took it.
    LONGLONG partial = Files_Size(written);
    EXPECT_GT(partial, 0);
    EXPECT_LT(partial, (LONGLONG)c_sourceSize);
}

// Fills a 1 MiB disk with a three-chunk file in `mode` and checks that the
// source is whole afterwards.
static void FillTheDisk(const char *testName, int mode)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene(testName, &scene));
    std::string source = Files_Join(scene.src, "big.bin");
    std::string content = Files_Pattern(c_sourceSize, 21);
    ASSERT_TRUE(Driver_WriteFile(source, content));

    SMALL_DISK disk;
    if (!SmallDisk_Mount(scene.dst, &disk))
        GTEST_SKIP() << "cannot mount a small tmpfs here";

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
