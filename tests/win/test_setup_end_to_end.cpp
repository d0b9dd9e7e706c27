// The installed system end to end: the installer puts everything in place;
// a real folder dropped the way the shell drops it (the handler loaded
// through the registered class by its bare file name) is copied whole by
// the installed copier; a job killed halfway is picked up again by the
// logon command that the installer registered and, after Resume, ends with
// a target identical to its sources.
#include <gtest/gtest.h>

#include "resource_ids.h"
#include "setup_driver.h"
#include "test_files.h"

class SetupEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetupDriver_Clean();
        ASSERT_EQ(0, SetupDriver_RunSilent("/install"));
        ASSERT_TRUE(Files_NewScene(Files_TestName(), &scene));
    }
    void TearDown() override
    {
        Driver_Kill(&copier);
        SetupDriver_Clean();
    }

    // tesdrop.exe without a library path: CoCreateInstance of the class.
    void Drop(const std::vector<std::string> &sources)
    {
        std::string command = "tesdrop.exe \"" + scene.dst + "\"";
        for (const std::string &source : sources)
            command += " \"" + source + "\"";
        DRIVER_COPIER drop = {};
        ASSERT_TRUE(Driver_StartProgram(Driver_BinFolder() + "\\tesdrop.exe", command,
                                        scene.temp, &drop.process));
        DWORD exitCode = 1;
        EXPECT_TRUE(Driver_WaitForExit(&drop, DRIVER_TIMEOUT_MS, &exitCode));
        Driver_Kill(&drop);
        ASSERT_EQ(0u, exitCode);
    }

    // The job file is deleted when the copier has finished the job.
    bool WaitForNoJob()
    {
        DWORD start = GetTickCount();
        while (!Files_List(scene.temp).empty()) {
            if (GetTickCount() - start > DRIVER_TIMEOUT_MS)
                return false;
            Sleep(10);
        }
        return true;
    }

    FILES_SCENE scene;
    DRIVER_COPIER copier = {};
};

TEST_F(SetupEndToEnd, DroppedFolderIsCopiedByTheInstalledCopier)
{
    std::string tree = Files_Join(scene.src, "Tree");
    Files_MakeFolder(tree);
    Files_MakeFolder(Files_Join(tree, "Inner"));
    Files_MakeFile(Files_Join(tree, "a.txt"), Files_Pattern(1000, 1), Files_SeedTime(1));
    Files_MakeFile(Files_Join(tree, "Big.bin"), Files_Pattern(3000000, 2), Files_SeedTime(2));
    Files_MakeFile(Files_Join(tree, "Inner\\c.dat"), Files_Pattern(70000, 3), Files_SeedTime(3));

    Drop({tree});
    ASSERT_TRUE(WaitForNoJob());
    EXPECT_TRUE(Files_HasTree(Files_Join(scene.dst, "Tree"), Files_Snapshot(tree)));
}

// The job stops at a question after its first file is copied; it is killed
// there, as by a power failure, and its job file stays.  The logon command
// relaunches it paused; after Resume it passes over the complete file and
// asks again.
TEST_F(SetupEndToEnd, KilledJobIsResumedByTheLogonCommand)
{
    std::string large = Files_Join(scene.src, "large.bin");
    std::string clash = Files_Join(scene.src, "clash.txt");
    Files_MakeFile(large, Files_Pattern(2000000, 4), Files_SeedTime(4));
    Files_MakeFile(clash, Files_Pattern(5000, 5), Files_SeedTime(5));
    Files_MakeFile(Files_Join(scene.dst, "clash.txt"), "an older file of that name",
                   Files_SeedTime(6));

    Drop({large, clash});
    ASSERT_TRUE(SetupDriver_WaitForInstalledCopier(&copier));
    ASSERT_TRUE(Driver_WaitForDialog(&copier, "Confirm File Replace"));
    Driver_Kill(&copier);
    ASSERT_EQ(1u, Files_List(scene.temp).size());
    EXPECT_TRUE(Files_HasBytes(Files_Join(scene.dst, "large.bin"), Files_Pattern(2000000, 4)));

    std::string logon = SetupDriver_ReadValue(
        HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
        "Resume copy");
    ASSERT_EQ("tesrun.exe /startup", logon);
    // Through the command interpreter, so the bare name is found on the
    // search path as at logon, not beside the test program.
    DRIVER_COPIER scan = {};
    ASSERT_TRUE(Driver_StartProgram("", "cmd.exe /c " + logon, scene.temp, &scan.process));
    ASSERT_TRUE(SetupDriver_WaitForInstalledCopier(&copier));
    Driver_Kill(&scan);
    ASSERT_TRUE(Driver_WaitForTitle(copier.window, "Ready to resume..."));
    Driver_Click(copier.window, IDC_PROGRESS_PAUSE);
    HWND question = Driver_WaitForDialog(&copier, "Confirm File Replace");
    ASSERT_TRUE(question != NULL);
    Driver_Click(question, IDC_REPLACE_YES);
    ASSERT_TRUE(Driver_WaitForExit(&copier));
    EXPECT_TRUE(Files_List(scene.temp).empty());
    EXPECT_TRUE(Files_HasTree(scene.dst, Files_Snapshot(scene.src)));
}
