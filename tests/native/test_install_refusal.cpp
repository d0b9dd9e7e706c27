// Which installer refuses to install: only the 32-bit one on 64-bit
// Windows, where it would register the drop handler in the 32-bit registry
// view that the 64-bit Explorer never reads.
#include <gtest/gtest.h>

#include "install_refusal.h"

TEST(InstallRefusal, ThirtyTwoBitInstallerUnderWow64IsRefused)
{
    EXPECT_TRUE(Setup_RefusesInstall(4, SETUP_WOW64_YES));
}

// On 32-bit Windows, and where IsWow64Process is missing (only 32-bit
// Windows lacks it) or fails, the 32-bit installer installs as before.
TEST(InstallRefusal, ThirtyTwoBitInstallerElsewhereInstalls)
{
    EXPECT_FALSE(Setup_RefusesInstall(4, SETUP_WOW64_NO));
    EXPECT_FALSE(Setup_RefusesInstall(4, SETUP_WOW64_UNKNOWN));
}

TEST(InstallRefusal, SixtyFourBitInstallerIsNeverRefused)
{
    for (SETUP_WOW64 wow64 : {SETUP_WOW64_UNKNOWN, SETUP_WOW64_NO, SETUP_WOW64_YES})
        EXPECT_FALSE(Setup_RefusesInstall(8, wow64)) << wow64;
}
