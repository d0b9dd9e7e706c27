// The speed-limit table: the rows that differ from the simple pattern, the
// "None" row, and positions outside the slider's range.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "speed_table.h"

struct EXPECTED_ROW {
    int position;
    const char *label;
    int speedLimit;
    int chunkSize;
};

TEST(SpeedTable, RowsAtTheEdgesAndIrregularPositions)
{
    const EXPECTED_ROW rows[] = {
        {0, "50 KB/Sec", 50000, 5000},
        {7, "700 KB/Sec", 700000, 60000},      // shares 6's chunk
        {9, "900 KB/Sec", 900000, 100000},     // not 90,000
        {10, "1000 KB/Sec", 1000000, 100000},
        {16, "3000 KB/Sec", 3000000, 800000},
        {17, "3500 KB/Sec", 3500000, 800000},  // shares 16's chunk
        {18, "4000 KB/Sec", 4000000, 1000000},
        {19, "5000 KB/Sec", 5000000, 1000000},
        {20, "None", 0, 1000000},
    };
    for (const EXPECTED_ROW &row : rows) {
        const SPEED_ROW *found = SpeedTable_Row(row.position);
        ASSERT_NE(nullptr, found) << row.position;
        EXPECT_STREQ(row.label, found->label) << row.position;
        EXPECT_EQ(row.speedLimit, found->speedLimit) << row.position;
        EXPECT_EQ(row.chunkSize, found->chunkSize) << row.position;
    }
}

// Every limited row's label names its own limit, the limits rise with the
// position, and no chunk exceeds the 1,000,000-byte transfer buffer or is
// empty (an empty read would end every file at once).
TEST(SpeedTable, EveryRowIsConsistent)
{
    int previousLimit = 0;
    for (int position = 0; position < SPEED_NO_LIMIT_POSITION; position++) {
        const SPEED_ROW *row = SpeedTable_Row(position);
        char label[SPEED_LABEL_CHARS];
        snprintf(label, sizeof label, "%d KB/Sec", row->speedLimit / 1000);
        EXPECT_STREQ(label, row->label) << position;
        EXPECT_EQ(0, row->speedLimit % 1000) << position;
        EXPECT_GT(row->speedLimit, previousLimit) << position;
        previousLimit = row->speedLimit;
    }
    for (int position = 0; position < SPEED_POSITIONS; position++) {
        const SPEED_ROW *row = SpeedTable_Row(position);
        EXPECT_GT(row->chunkSize, 0) << position;
        EXPECT_LE(row->chunkSize, 1000000) << position;
        EXPECT_LT(std::string(row->label).size(), (size_t)SPEED_LABEL_CHARS);
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
