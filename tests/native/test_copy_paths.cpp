// Path rules of the engine: joins that refuse over-long paths, share roots,
// "Copy of" names, the same-drive test, the target-inside-source guard,
// parents and the long form given to the system.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "copy_paths.h"

// A plain case-insensitive compare in the place of the system's ordinal
// one, which only Windows has.
static bool PlainEqual(const wchar_t *a, const wchar_t *b, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

TEST(CopyPathsJoin, JoinsFolderAndNameWithOneBackslash)
{
    std::wstring out;
    ASSERT_TRUE(CopyPaths_Join(&out, L"C:\\Target", L"a.txt"));
    EXPECT_EQ(L"C:\\Target\\a.txt", out);
    // Names of any script, and ending in a dot, go in as they are.
    ASSERT_TRUE(CopyPaths_Join(&out, L"C:\\\x0426\x0435\x043B\x044C", L"end."));
    EXPECT_EQ(L"C:\\\x0426\x0435\x043B\x044C\\end.", out);
}

TEST(CopyPathsJoin, TakesLongPathsAndRefusesOnlyWhatTheSystemCannotTake)
{
    std::wstring out;
    std::wstring folder = L"C:\\" + std::wstring(1000, L'f');
    EXPECT_TRUE(CopyPaths_Join(&out, folder.c_str(), L"name"));
    EXPECT_EQ(1008u, out.size());
    // "C:" + "\\" + a name: the longest the system takes, then one more.
    std::wstring longest(COPY_PATH_SYSTEM_LIMIT - 4, L'x');
    EXPECT_TRUE(CopyPaths_Join(&out, L"C:", longest.c_str()));
    EXPECT_EQ((size_t)COPY_PATH_SYSTEM_LIMIT - 1, out.size());
    EXPECT_FALSE(CopyPaths_Join(&out, L"C:", (longest + L"y").c_str()));
    EXPECT_TRUE(out.empty()) << "nothing half-written";
}

TEST(CopyPathsShare, CountsBackslashesOnlyForUncPaths)
{
    EXPECT_EQ(3, CopyPaths_ShareBackslashes(L"\\\\server\\share"));
    EXPECT_EQ(4, CopyPaths_ShareBackslashes(L"\\\\server\\share\\dir"));
    EXPECT_EQ(0, CopyPaths_ShareBackslashes(L"C:\\a\\b\\c"));
    EXPECT_EQ(0, CopyPaths_ShareBackslashes(L"\\single\\b"));
    EXPECT_TRUE(CopyPaths_IsShareRoot(L"\\\\server\\share"));
    EXPECT_FALSE(CopyPaths_IsShareRoot(L"\\\\server\\share\\dir"));
    EXPECT_FALSE(CopyPaths_IsShareRoot(L"\\\\server"));
    EXPECT_FALSE(CopyPaths_IsShareRoot(L"C:\\a\\b"));
    EXPECT_STREQ(L"share", CopyPaths_LastName(L"\\\\server\\share"));
    EXPECT_STREQ(L"x.txt", CopyPaths_LastName(L"C:\\a\\x.txt"));
    EXPECT_STREQ(L"plain", CopyPaths_LastName(L"plain"));
}

TEST(CopyPathsCopyOf, FormsFirstThenNumberedNames)
{
    std::wstring out;
    ASSERT_TRUE(CopyPaths_CopyOfName(&out, L"C:\\a", L"x.txt", 0));
    EXPECT_EQ(L"C:\\a\\Copy of x.txt", out);
    ASSERT_TRUE(CopyPaths_CopyOfName(&out, L"C:\\a", L"x.txt", 1));
    EXPECT_EQ(L"C:\\a\\Copy (1) of x.txt", out);
    ASSERT_TRUE(CopyPaths_CopyOfName(&out, L"C:\\a", L"dir", 12));
    EXPECT_EQ(L"C:\\a\\Copy (12) of dir", out);
    // A name that fits alone may no longer fit with the prefix.
    std::wstring name(COPY_PATH_SYSTEM_LIMIT - 10, L'n');
    EXPECT_FALSE(CopyPaths_CopyOfName(&out, L"C:\\a", name.c_str(), 0));
    EXPECT_TRUE(out.empty());
}

TEST(CopyPathsSameDrive, NeedsADrivePathWithTheSameFirstCharacter)
{
    EXPECT_TRUE(CopyPaths_IsSameDriveMove(L"C:\\a\\x.txt", L"C:\\b"));
    EXPECT_TRUE(CopyPaths_IsSameDriveMove(L"C:\\a", L"C:"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove(L"C:\\a\\x.txt", L"D:\\b"));
    // Letter case counts, as it always has for this test.
    EXPECT_FALSE(CopyPaths_IsSameDriveMove(L"c:\\a\\x.txt", L"C:\\b"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove(L"\\\\s\\share\\x", L"\\\\s\\b"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove(L"C:x", L"C:\\b"));
    EXPECT_FALSE(CopyPaths_IsSameDriveMove(L"", L"C:\\b"));
}

TEST(CopyPathsInside, DetectsTheSourceItselfAndEveryFolderBelowIt)
{
    EXPECT_TRUE(CopyPaths_IsInside(L"C:\\a", L"C:\\a", PlainEqual));
    EXPECT_TRUE(CopyPaths_IsInside(L"C:\\a\\b", L"C:\\a", PlainEqual));
    EXPECT_TRUE(CopyPaths_IsInside(L"c:\\A\\B\\c", L"C:\\a", PlainEqual));
    EXPECT_TRUE(CopyPaths_IsInside(L"C:\\a\\b\\", L"C:\\a\\", PlainEqual));
    EXPECT_TRUE(CopyPaths_IsInside(L"C:/a/b", L"C:\\a", PlainEqual));
    EXPECT_TRUE(CopyPaths_IsInside(L"C:", L"C:\\", PlainEqual));
    EXPECT_TRUE(CopyPaths_IsInside(L"C:\\x", L"C:\\", PlainEqual));
    EXPECT_TRUE(CopyPaths_IsInside(L"\\\\srv\\share\\sub", L"\\\\srv\\share",
                                   PlainEqual));
}

TEST(CopyPathsInside, KeepsToComponentBoundariesAndOtherFolders)
{
    EXPECT_FALSE(CopyPaths_IsInside(L"C:\\ab", L"C:\\a", PlainEqual));
    EXPECT_FALSE(CopyPaths_IsInside(L"C:\\ab\\c", L"C:\\a", PlainEqual));
    EXPECT_FALSE(CopyPaths_IsInside(L"C:\\a", L"C:\\a\\b", PlainEqual));
    EXPECT_FALSE(CopyPaths_IsInside(L"D:\\a\\b", L"C:\\a", PlainEqual));
    EXPECT_FALSE(CopyPaths_IsInside(L"C:\\a", L"", PlainEqual));
    EXPECT_FALSE(CopyPaths_IsInside(L"", L"C:\\a", PlainEqual));
    // A file dropped into its own folder is the "Copy of" case, not this.
    EXPECT_FALSE(CopyPaths_IsInside(L"C:\\a", L"C:\\a\\x.txt", PlainEqual));
}

TEST(CopyPathsSamePath, IgnoresLetterCaseOnly)
{
    EXPECT_TRUE(CopyPaths_SamePath(L"C:\\A\\x.TXT", L"c:\\a\\X.txt", PlainEqual));
    EXPECT_FALSE(CopyPaths_SamePath(L"C:\\a\\x.txt", L"C:\\a\\x.txt2", PlainEqual));
    EXPECT_FALSE(CopyPaths_SamePath(L"C:\\a\\x", L"C:\\a\\y", PlainEqual));
}

TEST(CopyPathsForApi, GivesTheSystemTheLongFormOfDriveAndNetworkPaths)
{
    EXPECT_EQ(L"\\\\?\\C:\\a\\end.", CopyPaths_ForApi(L"C:\\a\\end."));
    EXPECT_EQ(L"\\\\?\\C:\\a\\b", CopyPaths_ForApi(L"C:/a/b"));
    EXPECT_EQ(L"\\\\?\\C:\\", CopyPaths_ForApi(L"C:"));
    EXPECT_EQ(L"\\\\?\\UNC\\srv\\share\\x", CopyPaths_ForApi(L"\\\\srv\\share\\x"));
    // Already in the long form, or relative: left alone.
    EXPECT_EQ(L"\\\\?\\C:\\a", CopyPaths_ForApi(L"\\\\?\\C:\\a"));
    EXPECT_EQ(L"tesqueue.123", CopyPaths_ForApi(L"tesqueue.123"));
}
