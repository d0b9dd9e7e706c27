// DLLs planted beside the programs under system DLL names must never be
// loaded: the installer runs elevated from a downloads folder, the copier
// from the Windows folder at logon.  Each planted copy leaves a mark file
// when loaded (tests/win/planted).
//
// What Wine lets this tell: Wine takes a DLL from a program's folder only
// for names it prefers native copies of (dwmapi, propsys, userenv,
// cryptbase, textshaping here); for most system names (uxtheme, version,
// winmm, comctl32 ...) it loads its own builtin whatever lies beside the
// program, so those stand here only for real Windows.  And the programs
// themselves load nothing by name under Wine, so for them the test guards
// against a load by name or an import of a non-system DLL added later;
// whether the restriction works at all is shown with load_by_name.exe,
// which loads planted names with and without it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"
#include "ui_driver.h"

#include "../../setup/setup_ids.h"

// Names Wine takes from a program's folder come first, then the usual
// targets on Windows.
static const char *const c_PlantedNames[] = {
    "dwmapi.dll", "propsys.dll", "userenv.dll", "cryptbase.dll", "textshaping.dll",
    "uxtheme.dll", "version.dll", "winmm.dll", "msimg32.dll", "comctl32.dll",
    "dwrite.dll", "secur32.dll",
};

class DllSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = Driver_NewWorkFolder(Files_TestName());
        std::string planted = Driver_BinFolder() + "\\planted_dll.dll";
        for (const char *name : c_PlantedNames)
            ASSERT_TRUE(CopyFileA(planted.c_str(), Files_Join(folder, name).c_str(), FALSE))
                << name;
    }

    // Copies the build's `program` into the planted folder; its new path.
    std::string Beside(const char *program)
    {
        std::string copy = Files_Join(folder, program);
        EXPECT_TRUE(CopyFileA((Driver_BinFolder() + "\\" + program).c_str(),
                              copy.c_str(), FALSE)) << program;
        return copy;
    }

    // The planted names that were loaded since the last call; their marks
    // are removed.
    std::vector<std::string> Loaded()
    {
        std::vector<std::string> loaded;
        for (const char *name : c_PlantedNames) {
            std::string mark = Files_Join(folder, name) + ".loaded";
            if (Driver_FileExists(mark)) {
                loaded.push_back(name);
                DeleteFileA(mark.c_str());
            }
        }
        return loaded;
    }

    // Runs `commandLine` with the program at `path` to its end.
    void RunToEnd(const std::string &path, const std::string &commandLine,
                  const std::string &temp)
    {
        DRIVER_COPIER run = {};
        ASSERT_TRUE(Driver_StartProgram(path, commandLine, temp, &run.process));
        DWORD exitCode = 0;
        EXPECT_TRUE(Driver_WaitForExit(&run, DRIVER_TIMEOUT_MS, &exitCode));
        Driver_Kill(&run);
    }

    // Without the restriction a program here loads some planted names:
    // proof that this Wine would show a program loading from its folder.
    // Where it loads none, nothing here could tell, and the test skips.
    bool WineLoadsFromTheProgramsFolder()
    {
        std::string loader = Beside("load_by_name.exe");
        std::string commandLine = "load_by_name.exe unrestricted";
        for (const char *name : c_PlantedNames)
            commandLine += std::string(" ") + name;
        RunToEnd(loader, commandLine, Driver_NewTempFolder(Files_TestName()));
        return !Loaded().empty();
    }

    std::string folder;
};

// The restriction itself, in a program that loads every planted name after
// it: each comes from the system folder.
TEST_F(DllSearch, RestrictedSearchLoadsNoneOfThePlantedDlls)
{
    std::string loader = Beside("load_by_name.exe");
    std::string names;
    for (const char *name : c_PlantedNames)
        names += std::string(" ") + name;
    RunToEnd(loader, "load_by_name.exe unrestricted" + names,
             Driver_NewTempFolder(Files_TestName()));
    std::vector<std::string> unrestricted = Loaded();
    if (unrestricted.empty())
        GTEST_SKIP() << "this Wine loads none of the planted names from a program's folder";

    RunToEnd(loader, "load_by_name.exe restricted" + names,
             Driver_NewTempFolder(Files_TestName()));
    EXPECT_EQ(std::vector<std::string>(), Loaded())
        << "loaded without the restriction: " << unrestricted.size() << " names";
}

// The installer's window, its About dialog and Exit: everything it does
// without installing, with a planted DLL beside it for every name.
TEST_F(DllSearch, InstallerLoadsNothingFromItsOwnFolder)
{
    if (!WineLoadsFromTheProgramsFolder())
        GTEST_SKIP() << "this Wine loads none of the planted names from a program's folder";
    std::string installer = Beside("tessetup.exe");

    DRIVER_COPIER setup = {};
    ASSERT_TRUE(Driver_StartProgram(installer, "tessetup.exe",
                                    Driver_NewTempFolder(Files_TestName()), &setup.process));
    setup.window = Driver_WaitForDialog(&setup, "Tessary Copy v1.1");
    ASSERT_NE(nullptr, setup.window);
    Driver_Click(setup.window, IDC_SETUP_ABOUT);
    HWND about = Driver_WaitForDialogWithItem(&setup, IDC_ABOUT_WEB);
    ASSERT_NE(nullptr, about);
    Driver_Click(about, IDOK);
    ASSERT_TRUE(Driver_WaitForWindowGone(about));
    Driver_Click(setup.window, IDC_SETUP_EXIT);
    EXPECT_TRUE(Driver_WaitForExit(&setup));
    Driver_Kill(&setup);

    EXPECT_EQ(std::vector<std::string>(), Loaded());
}

// A whole copy job: window, scan, copy, end.
TEST_F(DllSearch, CopierLoadsNothingFromItsOwnFolder)
{
    if (!WineLoadsFromTheProgramsFolder())
        GTEST_SKIP() << "this Wine loads none of the planted names from a program's folder";
    std::string copier = Beside("tesrun.exe");
    std::string work = Driver_NewWorkFolder("DllSearchCopy");
    std::string source = Files_Join(work, "source.bin");
    std::string target = Files_Join(work, "target");
    Files_MakeFolder(target);
    Files_MakeFile(source, Files_Pattern(300000, 7), Files_SeedTime(7));
    std::string temp = Driver_NewTempFolder(Files_TestName());
    Driver_WriteJob(temp, 417, 1, target, {source});

    RunToEnd(copier, "tesrun.exe 417", temp);

    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "source.bin"), Files_Pattern(300000, 7)));
    EXPECT_EQ(std::vector<std::string>(), Loaded());
}
