// Path rules of the engine: joins that refuse over-long paths, share roots,
// "Copy of" names, the same-drive test and the target-inside-source guard.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "copy_paths.h"

TEST(CopyPathsJoin, JoinsFolderAndNameWithOneBackslash)
{
    char out[1000];
    ASSERT_TRUE(CopyPaths_Join(out, sizeof out, "C:\\Target", "a.txt",
                               COPY_PATH_SYSTEM_LIMIT));
    EXPECT_STREQ("C:\\Target\\a.txt", out);
}

TEST(CopyPathsJoin, RefusesPathsAtTheSystemLimitButTakesOneBelow)
{
    char out[1000];
    std::string folder = "C:\\" + std::string(250, 'f');   // 253 chars
    // 253 + 1 + 5 = 259 characters: the longest path the system takes.
    EXPECT_TRUE(CopyPaths_Join(out, sizeof out, folder.c_str(), "abcde",
                               COPY_PATH_SYSTEM_LIMIT));
    EXPECT_EQ(259u, strlen(out));
    // One more character reaches 260: refused, and nothing half-written.
    EXPECT_FALSE(CopyPaths_Join(out, sizeof out, folder.c_str(), "abcdef",
                                COPY_PATH_SYSTEM_LIMIT));
    EXPECT_STREQ("", out);
}

TEST(CopyPathsJoin, RefusesWhatDoesNotFitTheBufferWithoutOverflow)
{
    // Guard bytes after a short buffer show that nothing is written past it.
    char out[40];
    memset(out, 'x', sizeof out);
    std::string folder(60, 'd');
    EXPECT_FALSE(CopyPaths_Join(out, 20, folder.c_str(), "n", 1000));
    EXPECT_EQ('\0', out[0]);
    for (int i = 20; i < 40; i++)
        EXPECT_EQ('x', out[i]) << i;
    EXPECT_FALSE(CopyPaths_Copy(out, 20, folder.c_str(), 1000));
    EXPECT_TRUE(CopyPaths_Copy(out, 20, "C:\\a", 1000));
    EXPECT_STREQ("C:\\a", out);
}

TEST(CopyPathsShare, CountsBackslashesOnlyForUncPaths)
{
    EXPECT_EQ(3, CopyPaths_ShareBackslashes("\\\\server\\share"));
    EXPECT_EQ(4, CopyPaths_ShareBackslashes("\\\\server\\share\\dir"));
    EXPECT_EQ(0, CopyPaths_ShareBackslashes("C:\\a\\b\\c"));
    EXPECT_EQ(0, CopyPaths_ShareBackslashes("\\single\\b"));
    EXPECT_TRUE(CopyPaths_IsShareRoot("\\\\server\\share"));
    EXPECT_FALSE(CopyPaths_IsShareRoot("\\\\server\\share\\dir"));
    EXPECT_FALSE(CopyPaths_IsShareRoot("\\\\server"));
    EXPECT_FALSE(CopyPaths_IsShareRoot("C:\\a\\b"));
    EXPECT_STREQ("share", CopyPaths_LastName("\\\\server\\share"));
    EXPECT_STREQ("x.txt", CopyPaths_LastName("C:\\a\\x.txt"));
    EXPECT_STREQ("plain", CopyPaths_LastName("plain"));
}

TEST(CopyPathsCopyOf, FormsFirstThenNumberedNames)
{
    char out[1000];
    ASSERT_TRUE(CopyPaths_CopyOfName(out, sizeof out, "C:\\a", "x.txt", 0,
                                     COPY_PATH_SYSTEM_LIMIT));
    EXPECT_STREQ("C:\\a\\Copy of x.txt", out);
    ASSERT_TRUE(CopyPaths_CopyOfName(out, sizeof out, "C:\\a", "x.txt", 1,
                                     COPY_PATH_SYSTEM_LIMIT));
    EXPECT_STREQ("C:\\a\\Copy (1) of x.txt", out);
    ASSERT_TRUE(CopyPaths_CopyOfName(out, sizeof out, "C:\\a", "dir", 12,
                                     COPY_PATH_SYSTEM_LIMIT));
    EXPECT_STREQ("C:\\a\\Copy (12) of dir", out);
    // A name that fits alone may no longer fit with the prefix.
    std::string name(250, 'n');
    EXPECT_FALSE(CopyPaths_CopyOfName(out, sizeof out, "C:\\a", name.c_str(),
                                      0, COPY_PATH_SYSTEM_LIMIT));
    EXPECT_STREQ("", out);
}

TEST(CopyPathsSameDrive, NeedsADrivePathWithTheSameFirstByte)
{
    EXPECT_TRUE(CopyPaths_IsSameDriveMove("C:\\a\\x.txt", "C:\\b"));
    EXPECT_TRUE(CopyPaths_IsSameDriveMove("C:\\a", "C:"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove("C:\\a\\x.txt", "D:\\b"));
    // Letter case counts, as it always has for this test.
    EXPECT_FALSE(CopyPaths_IsSameDriveMove("c:\\a\\x.txt", "C:\\b"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove("\\\\s\\share\\x", "\\\\s\\b"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove("C:x", "C:\\b"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove("", "C:\\b"));
}

TEST(CopyPathsInside, DetectsTheSourceItselfAndEveryFolderBelowIt)
{
    EXPECT_TRUE(CopyPaths_IsInside("C:\\a", "C:\\a"));
    EXPECT_TRUE(CopyPaths_IsInside("C:\\a\\b", "C:\\a"));
    EXPECT_TRUE(CopyPaths_IsInside("c:\\A\\B\\c", "C:\\a"));
    EXPECT_TRUE(CopyPaths_IsInside("C:\\a\\b\\", "C:\\a\\"));
    EXPECT_TRUE(CopyPaths_IsInside("C:/a/b", "C:\\a"));
    EXPECT_TRUE(CopyPaths_IsInside("C:", "C:\\"));
    EXPECT_TRUE(CopyPaths_IsInside("C:\\x", "C:\\"));
    EXPECT_TRUE(CopyPaths_IsInside("\\\\srv\\share\\sub", "\\\\srv\\share"));
}

TEST(CopyPathsInside, KeepsToComponentBoundariesAndOtherFolders)
{
    EXPECT_FALSE(CopyPaths_IsInside("C:\\ab", "C:\\a"));
    EXPECT_FALSE(CopyPaths_IsInside("C:\\ab\\c", "C:\\a"));
    EXPECT_FALSE(CopyPaths_IsInside("C:\\a", "C:\\a\\b"));     // the parent
    EXPECT_FALSE(CopyPaths_IsInside("D:\\a\\b", "C:\\a"));
    EXPECT_FALSE(CopyPaths_IsInside("C:\\a", ""));
    EXPECT_FALSE(CopyPaths_IsInside("", "C:\\a"));
    // A file dropped into its own folder is the "Copy of" case, not this.
    EXPECT_FALSE(CopyPaths_IsInside("C:\\a", "C:\\a\\x.txt"));
}

TEST(CopyPathsSamePath, IgnoresLetterCaseOnly)
{
    EXPECT_TRUE(CopyPaths_SamePath("C:\\A\\x.TXT", "c:\\a\\X.txt"));
    EXPECT_FALSE(CopyPaths_SamePath("C:\\a\\x.txt", "C:\\a\\x.txt2"));
    EXPECT_FALSE(CopyPaths_SamePath("C:\\a\\x", "C:\\a\\y"));
}
