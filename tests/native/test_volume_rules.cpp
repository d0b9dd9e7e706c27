// What the target volume does to a copy: time steps (FAT, exFAT), the FAT
// file size limit, and the free-space question.
#include <gtest/gtest.h>

#include "volume_rules.h"

// 2020-09-13 12:26:40 UTC as a file time: on the 2 s grid.
static const uint64_t c_onGrid = 132444736000000000ULL;

TEST(VolumeRules, StepsByFileSystemName)
{
    EXPECT_EQ(TIME_STEP_FAT, VolumeRules_TimeStepOfFileSystem("FAT32"));
    EXPECT_EQ(TIME_STEP_FAT, VolumeRules_TimeStepOfFileSystem("FAT"));
    EXPECT_EQ(TIME_STEP_EXFAT, VolumeRules_TimeStepOfFileSystem("exFAT"));
    EXPECT_EQ(TIME_STEP_EXACT, VolumeRules_TimeStepOfFileSystem("NTFS"));
    EXPECT_EQ(TIME_STEP_EXACT, VolumeRules_TimeStepOfFileSystem(""));
}

TEST(VolumeRules, RoundedTimesCountAsTheSourcesWithinTheStepOnly)
{
    uint64_t source = c_onGrid + 13700000;           // 1.37 s past the grid
    // FAT kept it cut down to the grid, or rounded up to the next point.
    EXPECT_TRUE(VolumeRules_SameWriteTime(c_onGrid, source, TIME_STEP_FAT));
    EXPECT_TRUE(VolumeRules_SameWriteTime(c_onGrid + TIME_STEP_FAT, source,
                                          TIME_STEP_FAT));
    // Without a known step the grid tells it: the target lies on it, the
    // source does not, and they are less than a step apart.
    EXPECT_TRUE(VolumeRules_SameWriteTime(c_onGrid, source, TIME_STEP_EXACT));
    // A step or more apart is another time on any volume.
    EXPECT_FALSE(VolumeRules_SameWriteTime(c_onGrid, c_onGrid + TIME_STEP_FAT,
                                           TIME_STEP_FAT));
    EXPECT_FALSE(VolumeRules_SameWriteTime(c_onGrid - TIME_STEP_FAT, source,
                                           TIME_STEP_EXACT));
    // Exact volumes: a time off the grid that differs is another time.
    EXPECT_FALSE(VolumeRules_SameWriteTime(source + 1, source, TIME_STEP_EXACT));
    // exFAT: 10 ms steps.
    uint64_t fine = c_onGrid + 1234567;              // 123.4567 ms past
    EXPECT_TRUE(VolumeRules_SameWriteTime(c_onGrid + 1200000, fine,
                                          TIME_STEP_EXFAT));
    EXPECT_TRUE(VolumeRules_SameWriteTime(c_onGrid + 1200000, fine,
                                          TIME_STEP_EXACT));
    EXPECT_FALSE(VolumeRules_SameWriteTime(c_onGrid + 1100000, fine,
                                           TIME_STEP_EXFAT));
}

TEST(VolumeRules, AReadBackTellsTheStep)
{
    uint64_t set = c_onGrid + 13700001;
    EXPECT_EQ(TIME_STEP_FAT, VolumeRules_TimeStepFromReadBack(set, c_onGrid));
    EXPECT_EQ(TIME_STEP_EXFAT,
              VolumeRules_TimeStepFromReadBack(set, c_onGrid + 13700000));
    EXPECT_EQ(TIME_STEP_EXACT, VolumeRules_TimeStepFromReadBack(set, set));
    // An hour off (a time zone) is no rounding.
    EXPECT_EQ(TIME_STEP_EXACT,
              VolumeRules_TimeStepFromReadBack(set, c_onGrid + 36000000000ULL));
}

TEST(VolumeRules, FatHoldsNoFileOfFourGiB)
{
    EXPECT_TRUE(VolumeRules_FileFits("FAT32", 0xFFFFFFFFull));
    EXPECT_FALSE(VolumeRules_FileFits("FAT32", 0x100000000ull));
    EXPECT_FALSE(VolumeRules_FileFits("FAT", 5000000000ull));
    EXPECT_TRUE(VolumeRules_FileFits("exFAT", 5000000000ull));
    EXPECT_TRUE(VolumeRules_FileFits("NTFS", 5000000000ull));
}

TEST(VolumeRules, FreeSpaceIsAskedAboutOnlyWhenKnownAndTooSmall)
{
    EXPECT_TRUE(VolumeRules_AskAboutFreeSpace(1000001, true, 1000000));
    EXPECT_FALSE(VolumeRules_AskAboutFreeSpace(1000000, true, 1000000));
    EXPECT_FALSE(VolumeRules_AskAboutFreeSpace(1000001, false, 0));
}
