// The progress window's arithmetic and texts: the examples the window must
// show, the edges (nothing counted, more done than counted, slow rates) and
// the overflow cases of long jobs and fast disks.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "progress_math.h"

static std::string BytesLeft(uint64_t jobBytes, uint64_t doneBytes)
{
    char text[64];
    ProgressMath_FormatBytesLeft(jobBytes, doneBytes, text, sizeof text);
    return text;
}

TEST(ProgressMathBytesLeft, GroupsThousandsWithFullStops)
{
    EXPECT_EQ("Bytes left : 999 KB", BytesLeft(999000, 0));
    EXPECT_EQ("Bytes left : 1.000 KB", BytesLeft(1000000, 0));
    EXPECT_EQ("Bytes left : 12.345 KB", BytesLeft(12345000, 0));
    EXPECT_EQ("Bytes left : 1.234.567 KB", BytesLeft(1234567000, 0));
    EXPECT_EQ("Bytes left : 1.000.000 KB", BytesLeft(1000000000, 0));
    // Inner groups keep their leading zeros.
    EXPECT_EQ("Bytes left : 5.007.009 KB", BytesLeft(5007009000ull, 0));
    EXPECT_EQ("Bytes left : 0 KB", BytesLeft(0, 0));
}

TEST(ProgressMathBytesLeft, TruncatesPartKilobytesAndSubtractsDone)
{
    EXPECT_EQ("Bytes left : 999 KB", BytesLeft(999999, 0));
    EXPECT_EQ("Bytes left : 0 KB", BytesLeft(999, 0));
    EXPECT_EQ("Bytes left : 1.000 KB", BytesLeft(1500000, 499999));
    // A job above 4 GiB keeps its full 64-bit count.
    EXPECT_EQ("Bytes left : 5.000.000 KB", BytesLeft(6000000000ull,
                                                      1000000000ull));
}

TEST(ProgressMathBytesLeft, MoreDoneThanCountedLeavesNothingNotNegative)
{
    EXPECT_EQ("Bytes left : 0 KB", BytesLeft(100000, 105000));
    EXPECT_EQ("Bytes left : 0 KB", BytesLeft(0, 1500000));
    EXPECT_EQ("Bytes left : 0 KB", BytesLeft(1, 66000000ull));
}

TEST(ProgressMathPercent, WholePartOfDoneOverJob)
{
    EXPECT_EQ(0, ProgressMath_Percent(0, 1000));
    EXPECT_EQ(33, ProgressMath_Percent(1, 3));
    EXPECT_EQ(99, ProgressMath_Percent(999, 1000));
    EXPECT_EQ(100, ProgressMath_Percent(1000, 1000));
    EXPECT_EQ(116, ProgressMath_BarPosition(1, 3));
    EXPECT_EQ(350, ProgressMath_BarPosition(1000, 1000));
    // 64-bit counts above 4 GiB.
    EXPECT_EQ(50, ProgressMath_Percent(5000000000ull, 10000000000ull));
    EXPECT_EQ(175, ProgressMath_BarPosition(5000000000ull, 10000000000ull));
}

TEST(ProgressMathPercent, GrownFileGoesAbove100)
{
    EXPECT_EQ(150, ProgressMath_Percent(150, 100));
    EXPECT_EQ(525, ProgressMath_BarPosition(150, 100));
}

TEST(ProgressMathPercent, NothingCountedIsZero)
{
    EXPECT_EQ(0, ProgressMath_Percent(0, 0));
    EXPECT_EQ(0, ProgressMath_Percent(12345, 0));
    EXPECT_EQ(0, ProgressMath_BarPosition(12345, 0));
}

TEST(ProgressMathTexts, TitlesAndPercentLine)
{
    char text[64];
    ProgressMath_FormatTitle(42, 1, 1, text, sizeof text);
    EXPECT_STREQ("(42%) Paused", text);
    ProgressMath_FormatTitle(42, 1, 0, text, sizeof text);
    EXPECT_STREQ("(42%) Paused", text);
    ProgressMath_FormatTitle(7, 0, 1, text, sizeof text);
    EXPECT_STREQ("(7%) Copying...", text);
    ProgressMath_FormatTitle(100, 0, 0, text, sizeof text);
    EXPECT_STREQ("(100%) Moving...", text);
    ProgressMath_FormatPercent(57, text, sizeof text);
    EXPECT_STREQ("57 %", text);
}

TEST(ProgressMathTexts, PathLinesLowerCaseOnlyThePathAndOnlyAToZ)
{
    wchar_t line[PROGRESS_LINE_CHARS];
    ProgressMath_FormatPathLine(L"From : ", L"C:\\Data\\R\xC4PORT.TXT", L" ",
                                line, sizeof line / sizeof line[0]);
    EXPECT_STREQ(L"From : c:\\data\\r\xC4port.txt ", line);
    ProgressMath_FormatPathLine(L"To    : ", L"D:\\Backup", L"", line,
                                sizeof line / sizeof line[0]);
    EXPECT_STREQ(L"To    : d:\\backup", line);
}

TEST(ProgressMathTexts, PathLineIsCutToItsBuffer)
{
    wchar_t line[12];
    ProgressMath_FormatPathLine(L"From : ", L"C:\\ABCDEFGHIJ", L" ", line,
                                sizeof line / sizeof line[0]);
    EXPECT_STREQ(L"From : c:\\a", line);
}

// Feeds samples 1, 2, 3... and returns the rings.
static RATE_RINGS Samples(int count)
{
    RATE_RINGS rings;
    memset(&rings, 0, sizeof rings);
    for (int i = 1; i <= count; i++)
        ProgressMath_TakeSample(&rings, i);
    return rings;
}

TEST(ProgressMathRates, SlotsFollowTheSampleIndex)
{
    // recentRates slots 0,1,2,0,1,2,0,1,2,0 and then 0 again.
    RATE_RINGS rings = Samples(10);
    EXPECT_EQ(0, rings.sampleIndex);
    EXPECT_EQ(10, rings.recentRates[0]);
    EXPECT_EQ(8, rings.recentRates[1]);
    EXPECT_EQ(9, rings.recentRates[2]);
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(i + 1, rings.rateHistory[i]);

    rings = Samples(11);
    EXPECT_EQ(1, rings.sampleIndex);
    EXPECT_EQ(11, rings.recentRates[0]);
    EXPECT_EQ(11, rings.rateHistory[0]);
    EXPECT_EQ(2, rings.rateHistory[1]);
}

TEST(ProgressMathRates, SpeedLineAveragesTheThreeRecentSamples)
{
    RATE_RINGS rings;
    memset(&rings, 0, sizeof rings);
    rings.recentRates[0] = 3000000;
    char text[64];
    ProgressMath_FormatSpeed(&rings, 0, text, sizeof text);
    EXPECT_STREQ("1000 KB/Sec", text);
    ProgressMath_FormatSpeed(&rings, 1, text, sizeof text);
    EXPECT_STREQ("1000 KB/Sec : Auto Retrying", text);

    memset(&rings, 0, sizeof rings);
    ProgressMath_FormatSpeed(&rings, 0, text, sizeof text);
    EXPECT_STREQ("0 KB/Sec", text);
}

TEST(ProgressMathRates, FastSamplesDoNotOverflow)
{
    RATE_RINGS rings;
    memset(&rings, 0, sizeof rings);
    for (int i = 0; i < 10; i++)
        ProgressMath_TakeSample(&rings, 2000000000);
    char text[64];
    ProgressMath_FormatSpeed(&rings, 0, text, sizeof text);
    EXPECT_STREQ("2000000 KB/Sec", text);
    // R = 2,000,000 KB/s; 4,000,000 KB left is two seconds.
    ASSERT_TRUE(ProgressMath_FormatTimeLeft(&rings, 4000000000ull, 0, 0, 0,
                                            text, sizeof text));
    EXPECT_STREQ("Time left : 00:02", text);
    // A second of more than 2^31 bytes (a fast array) is kept whole.
    for (int i = 0; i < 3; i++)
        ProgressMath_TakeSample(&rings, 3000000000ll);
    ProgressMath_FormatSpeed(&rings, 0, text, sizeof text);
    EXPECT_STREQ("3000000 KB/Sec", text);
}

TEST(ProgressMathRates, TimeLeftFromTenSecondsAndEntriesLeft)
{
    RATE_RINGS rings;
    memset(&rings, 0, sizeof rings);
    for (int i = 0; i < 10; i++)
        ProgressMath_TakeSample(&rings, 1000000);
    char text[64];
    // R = 1,000; 60,000 KB / 1,000 = 60 s; 200 entries x 0.005 = 1 s.
    ASSERT_TRUE(ProgressMath_FormatTimeLeft(&rings, 70000000, 10000000, 250,
                                            50, text, sizeof text));
    EXPECT_STREQ("Time left : 01:01", text);
    // Minutes go past 59 rather than wrap.
    ASSERT_TRUE(ProgressMath_FormatTimeLeft(&rings, 3725000000ull, 0, 0, 0,
                                            text, sizeof text));
    EXPECT_STREQ("Time left : 62:05", text);
    // Entries add their part before the whole seconds are taken.
    ASSERT_TRUE(ProgressMath_FormatTimeLeft(&rings, 1000, 0, 199, 0, text,
                                            sizeof text));
    EXPECT_STREQ("Time left : 00:00", text);
    ASSERT_TRUE(ProgressMath_FormatTimeLeft(&rings, 1000, 0, 200, 0, text,
                                            sizeof text));
    EXPECT_STREQ("Time left : 00:01", text);
}

TEST(ProgressMathRates, SlowHistoryLeavesTheLine)
{
    RATE_RINGS rings;
    memset(&rings, 0, sizeof rings);
    rings.rateHistory[3] = 9999;
    char text[64] = "Time left : 03:00";
    EXPECT_FALSE(ProgressMath_FormatTimeLeft(&rings, 1000000, 0, 10, 0, text,
                                             sizeof text));
    EXPECT_STREQ("Time left : 03:00", text);
    rings.rateHistory[4] = 1;   // 10,000 bytes in ten seconds: R = 1
    EXPECT_TRUE(ProgressMath_FormatTimeLeft(&rings, 1000000, 0, 0, 0, text,
                                            sizeof text));
    EXPECT_STREQ("Time left : 16:40", text);
}

TEST(ProgressMathRates, MoreDoneThanCountedLeavesNoTime)
{
    RATE_RINGS rings;
    memset(&rings, 0, sizeof rings);
    for (int i = 0; i < 10; i++)
        ProgressMath_TakeSample(&rings, 1000000);
    char text[64];
    ASSERT_TRUE(ProgressMath_FormatTimeLeft(&rings, 1000000, 31000000, 0, 40,
                                            text, sizeof text));
    EXPECT_STREQ("Time left : 00:00", text);
    // Bytes over-done take nothing from the entries still to visit.
    ASSERT_TRUE(ProgressMath_FormatTimeLeft(&rings, 1000000, 31000000, 1040,
                                            40, text, sizeof text));
    EXPECT_STREQ("Time left : 00:05", text);
}

TEST(ProgressMathBudget, RefillSaturatesInsteadOfWrapping)
{
    EXPECT_EQ(500001, ProgressMath_AddBudget(1, 500000));
    EXPECT_EQ(-4999, ProgressMath_AddBudget(-9999, 5000));
    EXPECT_EQ(7, ProgressMath_AddBudget(7, 0));
    EXPECT_EQ(INT_MAX, ProgressMath_AddBudget(INT_MAX - 10, 500000));
    EXPECT_EQ(INT_MAX, ProgressMath_AddBudget(INT_MAX, 500000));
    // Seven minutes of ticks at the highest limit stay at the top.
    int budget = 0;
    for (int tick = 0; tick < 10 * 60 * 10; tick++)
        budget = ProgressMath_AddBudget(budget, 500000);
    EXPECT_EQ(INT_MAX, budget);
}

TEST(ProgressMathBudget, RefillFollowsTheTimeThatPassed)
{
    // A tick that took 130 ms instead of 100 refills 130 ms worth, so the
    // long-run rate is the limit whatever the tick's length.
    EXPECT_EQ(130000, ProgressMath_Refill(1000000, 130));
    EXPECT_EQ(5000, ProgressMath_Refill(50000, 100));
    EXPECT_EQ(0, ProgressMath_Refill(0, 100));
    // A monitor held up for an hour at the highest limit does not wrap.
    EXPECT_EQ(INT_MAX, ProgressMath_Refill(5000000, 3600000u));
}

// The source list as the job body holds it: paths, each with its NUL.
static bool SkipsScan(int mode, std::vector<std::string> sources,
                      const wchar_t *target)
{
    std::string body;
    for (const std::string &source : sources)
        body.append(source.c_str(), source.size() + 1);
    return ProgressMath_MoveSkipsScan(mode, (const uint8_t *)body.data(),
                                      body.size(), 0, (int)sources.size(),
                                      target);
}

TEST(ProgressMathScanSkip, OnlyWhenEverySourceIsAMoveOnTheTargetsDrive)
{
    EXPECT_TRUE(SkipsScan(0, {"C:\\a\\b"}, L"C:\\t"));
    EXPECT_TRUE(SkipsScan(0, {"C:\\a"}, L"C:"));
    EXPECT_TRUE(SkipsScan(0, {"C:\\a", "C:\\b\\c", "C:\\d"}, L"C:\\t"));
    EXPECT_FALSE(SkipsScan(1, {"C:\\a\\b"}, L"C:\\t"));
    EXPECT_FALSE(SkipsScan(0, {"D:\\a"}, L"C:\\t"));
    // The first source alone decides nothing: one copied source among
    // renamed ones needs its bytes counted.
    EXPECT_FALSE(SkipsScan(0, {"C:\\a", "D:\\big"}, L"C:\\t"));
    EXPECT_FALSE(SkipsScan(0, {"C:\\a", "\\\\srv\\share"}, L"C:\\t"));
    // Compared exactly, case included.
    EXPECT_FALSE(SkipsScan(0, {"c:\\a"}, L"C:\\t"));
    EXPECT_FALSE(SkipsScan(0, {"\\\\srv\\share"}, L"\\\\srv"));
    EXPECT_FALSE(SkipsScan(0, {"C:a"}, L"C:\\t"));
    EXPECT_FALSE(SkipsScan(0, {""}, L"C:\\t"));
}
