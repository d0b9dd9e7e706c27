// The installer through its real window and its message boxes: install on
// a clean system and again, a copier file that can't be replaced, uninstall
// with everything, with nothing and with the drop handler held, the silent
// switches, a registry key that can't be created, an installer that lacks
// a payload, and a disk that fills up while a payload is written.
#include <gtest/gtest.h>

#include <cstring>

#include "setup_driver.h"
#include "test_files.h"

#include "../../setup/setup_ids.h"

static const char c_M1[] = "Could not write essential datafile to :\n";
static const char c_M2[] = "Can't write datafiles to Windows' folder.";
static const char c_M4[] = "Tessary Copy was successfully installed.";
static const char c_M5[] = "Can't delete all registry entries. Logon as administrator.";
static const char c_M6[] = "Can't delete all files. Close Tessary Copy if you are using it.";
static const char c_M7[] = "Tessary Copy successfully removed";

class Setup : public ::testing::Test {
protected:
    void SetUp() override { SetupDriver_Clean(); }
    void TearDown() override
    {
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        Driver_Kill(&setup);
        SetupDriver_Clean();
        if (!volatileKey.empty())
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, volatileKey.c_str());
    }

    // Holds `path` open with no sharing, as a running program holds it.
    void Hold(const std::string &path)
    {
        held = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, held) << path;
    }

    void Release()
    {
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    }

    std::string Caption() { return Driver_GetItemText(setup.window, IDC_SETUP_INSTALL); }

    void ExpectInstalled()
    {
        std::string copier, hook;
        ASSERT_TRUE(Driver_ReadFile(Driver_BinFolder() + "\\tesrun.exe", &copier));
        ASSERT_TRUE(Driver_ReadFile(Driver_BinFolder() + "\\teshook.dll", &hook));
        EXPECT_TRUE(Files_HasBytes(copierPath, copier));
        EXPECT_TRUE(Files_HasBytes(hookPath, hook));
        EXPECT_FALSE(Driver_FileExists(copierPath + ".new"));
        for (const SETUP_VALUE &value : c_SetupValues)
            EXPECT_EQ(value.data, SetupDriver_ReadValue(value.root, value.key, value.name))
                << value.key << " " << (value.name ? value.name : "(default)");
    }

    void ExpectNoRegistryEntry()
    {
        for (const SETUP_VALUE &value : c_SetupValues)
            EXPECT_EQ("<missing>", SetupDriver_ReadValue(value.root, value.key, value.name))
                << value.key;
        EXPECT_FALSE(SetupDriver_KeyExists(HKEY_CLASSES_ROOT, SETUP_CLASS_KEY));
    }

    DRIVER_COPIER setup = {};
    HANDLE held = INVALID_HANDLE_VALUE;
    std::string volatileKey;    // a key the test made volatile, deleted at the end
    std::string copierPath = SetupDriver_WindowsPath("tesrun.exe");
    std::string hookPath = SetupDriver_WindowsPath("teshook.dll");
};

TEST_F(Setup, InstallOnCleanSystemAndAgain)
{
    ASSERT_TRUE(SetupDriver_Start(&setup));
    EXPECT_EQ("Install", Caption());
    for (int round = 0; round < 2; round++) {
        Driver_Click(setup.window, IDC_SETUP_INSTALL);
        EXPECT_EQ(c_M4, SetupDriver_AnswerMessage(&setup, "Finished")) << round;
        EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
        EXPECT_EQ("Reinstall", Caption());
        ExpectInstalled();
    }
    // Exit ends the installer, whose exit code is always 1.
    Driver_Click(setup.window, IDC_SETUP_EXIT);
    DWORD exitCode = 0;
    EXPECT_TRUE(Driver_WaitForExit(&setup, DRIVER_TIMEOUT_MS, &exitCode));
    EXPECT_EQ(1u, exitCode);

    // Started over an installation, it says so; the close box ends it too.
    Driver_Kill(&setup);
    ASSERT_TRUE(SetupDriver_Start(&setup));
    EXPECT_EQ("Reinstall", Caption());
    PostMessageA(setup.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    exitCode = 0;
    EXPECT_TRUE(Driver_WaitForExit(&setup, DRIVER_TIMEOUT_MS, &exitCode));
    EXPECT_EQ(1u, exitCode);
}

// A copier file in use can't be replaced: M1 with its path and M2; the old
// file stays whole, the drop handler's file and the registry untouched.
// Present but unreadable, it does not count as installed.
TEST_F(Setup, CopierInUseIsLeftWhole)
{
    ASSERT_TRUE(Driver_WriteFile(copierPath, "the copier installed before"));
    ASSERT_TRUE(Driver_WriteFile(hookPath, "the drop handler installed before"));
    Hold(copierPath);
    ASSERT_TRUE(SetupDriver_Start(&setup));
    EXPECT_EQ("Install", Caption());

    Driver_Click(setup.window, IDC_SETUP_INSTALL);
    EXPECT_EQ(c_M1 + copierPath, SetupDriver_AnswerMessage(&setup, "Error"));
    EXPECT_EQ(c_M2, SetupDriver_AnswerMessage(&setup, "Error"));
    EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
    EXPECT_EQ("Install", Caption());
    Release();
    EXPECT_TRUE(Files_HasBytes(copierPath, "the copier installed before"));
    EXPECT_TRUE(Files_HasBytes(hookPath, "the drop handler installed before"));
    EXPECT_FALSE(Driver_FileExists(copierPath + ".new"));
    ExpectNoRegistryEntry();
}

TEST_F(Setup, UninstallEverythingThenNothing)
{
    ASSERT_EQ(0, SetupDriver_RunSilent("/install"));
    ASSERT_TRUE(SetupDriver_Start(&setup));
    EXPECT_EQ("Reinstall", Caption());

    Driver_Click(setup.window, IDC_SETUP_UNINSTALL);
    EXPECT_EQ(c_M7, SetupDriver_AnswerMessage(&setup, "Finished"));
    EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
    EXPECT_EQ("Install", Caption());
    EXPECT_FALSE(Driver_FileExists(copierPath));
    EXPECT_FALSE(Driver_FileExists(hookPath));
    ExpectNoRegistryEntry();
    // The parent keys stay.
    for (const char *parent :
         {SETUP_HANDLERS_KEY("Directory"), SETUP_HANDLERS_KEY("Folder"),
          SETUP_HANDLERS_KEY("Drive"), SETUP_APPROVED_KEY, SETUP_RUN_KEY})
        EXPECT_TRUE(SetupDriver_KeyExists(HKEY_LOCAL_MACHINE, parent)) << parent;

    // Nothing left to remove: both failures, in this order; the caption
    // stays.
    SetWindowTextA(GetDlgItem(setup.window, IDC_SETUP_INSTALL), "Reinstall");
    Driver_Click(setup.window, IDC_SETUP_UNINSTALL);
    EXPECT_EQ(c_M5, SetupDriver_AnswerMessage(&setup, "Uninstall failed"));
    EXPECT_EQ(c_M6, SetupDriver_AnswerMessage(&setup, "Uninstall failed"));
    EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
    EXPECT_EQ("Reinstall", Caption());
}

// A drop handler that the shell holds loaded can't be deleted: only M6,
// everything else is gone.  Once it is let go, a second uninstall deletes
// it and reports what was already gone.
TEST_F(Setup, UninstallWithDropHandlerHeld)
{
    ASSERT_EQ(0, SetupDriver_RunSilent("/install"));
    ASSERT_TRUE(SetupDriver_Start(&setup));
    Hold(hookPath);
    Driver_Click(setup.window, IDC_SETUP_UNINSTALL);
    EXPECT_EQ(c_M6, SetupDriver_AnswerMessage(&setup, "Uninstall failed"));
    EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
    EXPECT_EQ("Reinstall", Caption());
    EXPECT_FALSE(Driver_FileExists(copierPath));
    ExpectNoRegistryEntry();

    Release();
    Driver_Click(setup.window, IDC_SETUP_UNINSTALL);
    EXPECT_EQ(c_M5, SetupDriver_AnswerMessage(&setup, "Uninstall failed"));
    // The copier file is gone already, which counts as a failure too.
    EXPECT_EQ(c_M6, SetupDriver_AnswerMessage(&setup, "Uninstall failed"));
    EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
    EXPECT_FALSE(Driver_FileExists(hookPath));
}

// A key that can't be created (here: its parent made volatile, under which
// no lasting key may stand) fails the first entry; the others are written
// all the same, and only M3 is shown, with both files in place.
TEST_F(Setup, RegistryFailureAfterFiles)
{
    const std::string first = SETUP_HANDLER_KEY("Directory");
    const std::string parent = SETUP_HANDLERS_KEY("Directory");
    LONG deleted = RegDeleteKeyA(HKEY_LOCAL_MACHINE, parent.c_str());
    ASSERT_TRUE(deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND) << deleted;
    volatileKey = parent;
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, NULL,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &key, NULL));
    RegCloseKey(key);

    ASSERT_TRUE(SetupDriver_Start(&setup));
    Driver_Click(setup.window, IDC_SETUP_INSTALL);
    EXPECT_EQ("Can't write to registry. Logon as administrator.",
              SetupDriver_AnswerMessage(&setup, "Error"));
    EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
    EXPECT_EQ("Install", Caption());
    EXPECT_EQ("<missing>", SetupDriver_ReadValue(HKEY_LOCAL_MACHINE, first.c_str(), NULL));
    for (const SETUP_VALUE &value : c_SetupValues) {
        if (value.key != first) {
            EXPECT_EQ(value.data, SetupDriver_ReadValue(value.root, value.key, value.name))
                << value.key;
        }
    }
    EXPECT_TRUE(Driver_FileExists(copierPath));
    EXPECT_TRUE(Driver_FileExists(hookPath));
}

TEST_F(Setup, SilentSwitchesExitCodes)
{
    EXPECT_EQ(1, SetupDriver_RunSilent("/uninstall"));
    EXPECT_EQ(0, SetupDriver_RunSilent("/install"));
    ExpectInstalled();
    EXPECT_EQ(0, SetupDriver_RunSilent("/UNINSTALL"));
    EXPECT_FALSE(Driver_FileExists(copierPath));
    ExpectNoRegistryEntry();

    ASSERT_TRUE(Driver_WriteFile(copierPath, "held"));
    Hold(copierPath);
    EXPECT_EQ(1, SetupDriver_RunSilent("/install"));
    ExpectNoRegistryEntry();
}

// An installer that lacks the drop handler's payload names that file and
// writes nothing at all.  The copy loses it by a renumbered entry in its
// resource directory: "EXE" 121 and 126 stand there side by side, each an
// id and an offset with the high bit set (a subdirectory).
TEST_F(Setup, MissingPayloadWritesNothing)
{
    std::string work = Driver_NewWorkFolder("MissingPayload");
    std::string partial = work + "tessetup.exe";
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFile(Driver_BinFolder() + "\\tessetup.exe", &bytes));
    const unsigned char *b = (const unsigned char *)bytes.data();
    size_t entry = 0;
    for (size_t i = 0; i + 16 <= bytes.size() && !entry; i += 4)
        if (memcmp(b + i, "\x79\0\0\0", 4) == 0 && b[i + 7] == 0x80 &&
            memcmp(b + i + 8, "\x7e\0\0\0", 4) == 0 && b[i + 15] == 0x80)
            entry = i + 8;
    ASSERT_NE(0u, entry);
    bytes[entry] = 0x7f;
    ASSERT_TRUE(Driver_WriteFile(partial, bytes));

    ASSERT_TRUE(SetupDriver_Start(&setup, "", partial));
    Driver_Click(setup.window, IDC_SETUP_INSTALL);
    EXPECT_EQ(c_M1 + hookPath, SetupDriver_AnswerMessage(&setup, "Error"));
    EXPECT_EQ(c_M2, SetupDriver_AnswerMessage(&setup, "Error"));
    EXPECT_TRUE(SetupDriver_NoMessageOpen(&setup));
    EXPECT_FALSE(Driver_FileExists(copierPath));
    EXPECT_FALSE(Driver_FileExists(hookPath));
    ExpectNoRegistryEntry();
}

// A payload cut short by a full disk (here: a file-size limit of 50 KB on
// the installer's process) never replaces an installed copy.
TEST_F(Setup, ShortWriteKeepsInstalledCopy)
{
    ASSERT_TRUE(Driver_WriteFile(copierPath, "the copier installed before"));
    std::string work = Driver_NewWorkFolder("ShortWrite");
    std::string status = work + "status.txt";
    std::string command =
        "trap '' XFSZ; ulimit -f 100; wine '" +
        Driver_UnixPath(Driver_BinFolder() + "\\tessetup.exe") +
        "' /install </dev/null >/dev/null 2>&1; echo $? > '" +
        Driver_UnixPath(status) + "'";
    ASSERT_TRUE(Driver_RunUnix(command));
    std::string exitCode;
    ASSERT_TRUE(Driver_ReadFile(status, &exitCode));
    EXPECT_EQ("1\n", exitCode);
    EXPECT_TRUE(Files_HasBytes(copierPath, "the copier installed before"));
    EXPECT_FALSE(Driver_FileExists(copierPath + ".new"));
    EXPECT_FALSE(Driver_FileExists(hookPath));
    ExpectNoRegistryEntry();
}
