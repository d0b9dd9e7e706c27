// The installer of this build against the Windows it runs on: it refuses
// to install exactly when it is the 32-bit installer under WoW64 (the rule
// itself is tested natively, tests/native/test_install_refusal.cpp).  The
// test program is built for the installer's architecture, so its own
// IsWow64Process answers for the installer.  The x86_64 build is never
// refused; the i686 build runs in a 32-bit prefix, as on 32-bit Windows,
// where it is not refused either; in a 64-bit prefix it must refuse.
#include <gtest/gtest.h>

#include "setup_driver.h"
#include "test_files.h"

#include "../../setup/setup_ids.h"

static bool Refusal_Expected(void)
{
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64))
        wow64 = FALSE;
    return sizeof(void *) == 4 && wow64;
}

class SetupRefusal : public ::testing::Test {
protected:
    void SetUp() override { SetupDriver_Clean(); }
    void TearDown() override
    {
        Driver_Kill(&setup);
        SetupDriver_Clean();
    }
    DRIVER_COPIER setup = {};
};

// "/install" installs, or, refused, writes nothing at all and ends with 1.
TEST_F(SetupRefusal, SilentInstallInstallsUnlessRefused)
{
    bool refused = Refusal_Expected();
    EXPECT_EQ(refused ? 1 : 0, SetupDriver_RunSilent("/install"));
    EXPECT_EQ(!refused, Driver_FileExists(SetupDriver_WindowsPath("tesrun.exe")));
    EXPECT_EQ(!refused, Driver_FileExists(SetupDriver_WindowsPath("teshook.dll")));
    for (const SETUP_VALUE &value : c_SetupValues) {
        std::string data = SetupDriver_ReadValue(value.root, value.key, value.name);
        EXPECT_EQ(refused ? std::string("<missing>") : std::string(value.data), data)
            << value.key;
    }
}

// The window shows the notice only when refused, above the row of buttons,
// which still sit inside the window.
TEST_F(SetupRefusal, WindowShowsTheNoticeOnlyWhenRefused)
{
    bool refused = Refusal_Expected();
    ASSERT_TRUE(SetupDriver_Start(&setup));
    HWND notice = GetDlgItem(setup.window, IDC_SETUP_REFUSAL);
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ(refused, IsWindowVisible(notice) != FALSE);

    RECT client, install, noticePlace;
    GetClientRect(setup.window, &client);
    GetWindowRect(GetDlgItem(setup.window, IDC_SETUP_INSTALL), &install);
    GetWindowRect(notice, &noticePlace);
    MapWindowPoints(NULL, setup.window, (POINT *)&install, 2);
    MapWindowPoints(NULL, setup.window, (POINT *)&noticePlace, 2);
    EXPECT_LE(install.bottom, client.bottom) << "the buttons fell out of the window";
    if (refused) {
        EXPECT_LE(noticePlace.bottom, install.top) << "the notice covers the buttons";
    }
    Driver_Click(setup.window, IDC_SETUP_EXIT);
    EXPECT_TRUE(Driver_WaitForExit(&setup));
}
