// The speed-limit table, every position as the slider shows it and as the
// copier applies it, and positions outside the slider's range.
#include <gtest/gtest.h>

#include "speed_table.h"

struct EXPECTED_ROW {
    int position;
    const char *label;
    int speedLimit;
    int chunkSize;
};

TEST(SpeedTable, EveryPositionHasItsLabelLimitAndChunk)
{
    const EXPECTED_ROW rows[] = {
        {0, "50 KB/Sec", 50000, 5000},
        {1, "100 KB/Sec", 100000, 10000},
        {2, "200 KB/Sec", 200000, 20000},
        {3, "300 KB/Sec", 300000, 30000},
        {4, "400 KB/Sec", 400000, 40000},
        {5, "500 KB/Sec", 500000, 50000},
        {6, "600 KB/Sec", 600000, 60000},
        {7, "700 KB/Sec", 700000, 60000},      // shares 6's chunk
        {8, "800 KB/Sec", 800000, 80000},
        {9, "900 KB/Sec", 900000, 100000},     // not 90,000
        {10, "1000 KB/Sec", 1000000, 100000},
        {11, "1200 KB/Sec", 1200000, 150000},
        {12, "1500 KB/Sec", 1500000, 200000},
        {13, "1800 KB/Sec", 1800000, 300000},
        {14, "2000 KB/Sec", 2000000, 400000},
        {15, "2500 KB/Sec", 2500000, 500000},
        {16, "3000 KB/Sec", 3000000, 800000},
        {17, "3500 KB/Sec", 3500000, 800000},  // shares 16's chunk
        {18, "4000 KB/Sec", 4000000, 1000000},
        {19, "5000 KB/Sec", 5000000, 1000000},
        {20, "None", 0, 1000000},
    };
    ASSERT_EQ((size_t)SPEED_POSITIONS, sizeof rows / sizeof rows[0]);
    for (const EXPECTED_ROW &row : rows) {
        const SPEED_ROW *found = SpeedTable_Row(row.position);
        ASSERT_NE(nullptr, found) << row.position;
        EXPECT_STREQ(row.label, found->label) << row.position;
        EXPECT_EQ(row.speedLimit, found->speedLimit) << row.position;
        EXPECT_EQ(row.chunkSize, found->chunkSize) << row.position;
    }
}

TEST(SpeedTable, PositionsOutsideTheRangeAreHeldToItsEnds)
{
    EXPECT_EQ(SpeedTable_Row(0), SpeedTable_Row(-1));
    EXPECT_EQ(SpeedTable_Row(0), SpeedTable_Row(-2147483647 - 1));
    EXPECT_EQ(SpeedTable_Row(20), SpeedTable_Row(21));
    EXPECT_EQ(SpeedTable_Row(20), SpeedTable_Row(2147483647));
    EXPECT_STREQ("None", SpeedTable_Row(1000)->label);
    EXPECT_STREQ("50 KB/Sec", SpeedTable_Row(-5)->label);
}
