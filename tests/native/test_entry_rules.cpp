// Kinds of listing entries: links by their reparse tag, the attributes a
// copy is created with, and the parent folders walked up from a target.
#include <gtest/gtest.h>

#include <string>

#include "copy_paths.h"
#include "entry_rules.h"

TEST(EntryRules, OnlySymbolicLinksAndMountPointsAreLinks)
{
    const uint32_t reparse = 0x400, folder = 0x10;
    EXPECT_TRUE(EntryRules_IsLink(reparse | folder, 0xA000000C));   // symlink
    EXPECT_TRUE(EntryRules_IsLink(reparse | folder, 0xA0000003));   // junction
    EXPECT_TRUE(EntryRules_IsLink(reparse, 0xA000000C));            // file link
    // Cloud placeholders, de-duplicated and compressed files hold the
    // user's own data.
    EXPECT_FALSE(EntryRules_IsLink(reparse, 0x9000001A));           // cloud
    EXPECT_FALSE(EntryRules_IsLink(reparse | folder, 0x9000601A));  // cloud folder
    EXPECT_FALSE(EntryRules_IsLink(reparse, 0x80000013));           // dedup
    EXPECT_FALSE(EntryRules_IsLink(reparse, 0x80000017));           // WOF
    // No reparse attribute: nothing to follow, whatever the field holds.
    EXPECT_FALSE(EntryRules_IsLink(folder, 0xA000000C));
}

TEST(EntryRules, OnlyDotAndDotDotAreNoItems)
{
    EXPECT_TRUE(EntryRules_IsSelfOrParent(L"."));
    EXPECT_TRUE(EntryRules_IsSelfOrParent(L".."));
    EXPECT_FALSE(EntryRules_IsSelfOrParent(L"..."));
    EXPECT_FALSE(EntryRules_IsSelfOrParent(L".env"));
}

TEST(EntryRules, CopiesAreCreatedWithPlainAttributesOnly)
{
    // Read-only, hidden, system and archive go along.
    EXPECT_EQ(0x27u, EntryRules_CreationAttributes(0x27));
    // Offline (0x1000), sparse (0x200), compressed (0x800) and the recall
    // bits (0x40000, 0x400000) do not: some are CreateFile's flags.
    EXPECT_EQ(0x20u, EntryRules_CreationAttributes(0x20 | 0x1000 | 0x200 |
                                                   0x800 | 0x400000));
    EXPECT_EQ(0x80u, EntryRules_CreationAttributes(0x40000));
    EXPECT_EQ(0x80u, EntryRules_CreationAttributes(0));
}

TEST(EntryRules, ParentsAreWalkedUpToTheRoot)
{
    std::wstring path = L"C:\\data\\sub\\";
    std::wstring seen;
    do
        seen += path + L"|";
    while (CopyPaths_Parent(&path));
    EXPECT_EQ(L"C:\\data\\sub\\|C:\\data|C:\\|", seen);

    std::wstring share = L"\\\\server\\share\\a";
    seen.clear();
    do
        seen += share + L"|";
    while (CopyPaths_Parent(&share));
    EXPECT_EQ(L"\\\\server\\share\\a|\\\\server\\share|", seen);
}
