// The existing-target rules: complete, continue or ask, and "&Copy rest".
#include <gtest/gtest.h>

#include "target_rules.h"

static const uint64_t c_time = 0x01BD47A1C0DE1234ULL;

// Two times that differ in one 32-bit half only.
static const uint64_t c_lowOther = c_time + 1;
static const uint64_t c_highOther = c_time + (1ULL << 32);

TEST(TargetRules, SameTimeSameSizeIsComplete)
{
    int copyRest = -1;
    EXPECT_EQ(TARGET_COMPLETE, TargetRules_Decide(1000, c_time, 1000, c_time, &copyRest));
    EXPECT_EQ(0, copyRest);
    EXPECT_EQ(TARGET_COMPLETE, TargetRules_Decide(0, c_time, 0, c_time, &copyRest));
    // Sizes above 4 GB compare as whole 64-bit values.
    EXPECT_EQ(TARGET_COMPLETE, TargetRules_Decide(5000000000ULL, c_time, 5000000000ULL, c_time, &copyRest));
}

TEST(TargetRules, SameTimeSmallerIsContinuedWithoutAsking)
{
    int copyRest = -1;
    EXPECT_EQ(TARGET_CONTINUE, TargetRules_Decide(999, c_time, 1000, c_time, &copyRest));
    EXPECT_EQ(0, copyRest);
    EXPECT_EQ(TARGET_CONTINUE, TargetRules_Decide(0, c_time, 1000, c_time, &copyRest));
    // Same low word, different high word of the size.
    EXPECT_EQ(TARGET_CONTINUE, TargetRules_Decide(1000, c_time, 1000 + (1ULL << 32), c_time, &copyRest));
}

TEST(TargetRules, SameTimeLargerIsAskedWithoutCopyRest)
{
    // Continuing would append nothing and, in a move, delete a source whose
    // copy differs from it.
    int copyRest = -1;
    EXPECT_EQ(TARGET_ASK, TargetRules_Decide(1001, c_time, 1000, c_time, &copyRest));
    EXPECT_EQ(0, copyRest);
    EXPECT_EQ(TARGET_ASK, TargetRules_Decide(1000 + (1ULL << 32), c_time, 1000, c_time, &copyRest));
    EXPECT_EQ(0, copyRest);
    EXPECT_EQ(TARGET_ASK, TargetRules_Decide(1, c_time, 0, c_time, &copyRest));
    EXPECT_EQ(0, copyRest);
}

TEST(TargetRules, OtherTimeEmptyTargetIsWrittenWithoutAsking)
{
    int copyRest = -1;
    EXPECT_EQ(TARGET_CONTINUE, TargetRules_Decide(0, c_lowOther, 1000, c_time, &copyRest));
    EXPECT_EQ(0, copyRest);
    EXPECT_EQ(TARGET_CONTINUE, TargetRules_Decide(0, c_highOther, 0, c_time, &copyRest));
}

TEST(TargetRules, OtherTimeAsksAndOffersCopyRestOnlyWhenSmaller)
{
    // Either half of the time differing counts as another time.
    const uint64_t others[] = {c_lowOther, c_highOther};
    for (uint64_t other : others) {
        int copyRest = -1;
        EXPECT_EQ(TARGET_ASK, TargetRules_Decide(500, other, 1000, c_time, &copyRest));
        EXPECT_EQ(1, copyRest);
        EXPECT_EQ(TARGET_ASK, TargetRules_Decide(1000, other, 1000, c_time, &copyRest));
        EXPECT_EQ(0, copyRest);
        EXPECT_EQ(TARGET_ASK, TargetRules_Decide(2000, other, 1000, c_time, &copyRest));
        EXPECT_EQ(0, copyRest);
    }
    // Unsigned 64-bit comparison: a target of 4 GB + 1 is larger than a
    // source of 2 bytes although its low word is smaller.
    int copyRest = -1;
    EXPECT_EQ(TARGET_ASK, TargetRules_Decide((1ULL << 32) + 1, c_lowOther, 2, c_time, &copyRest));
    EXPECT_EQ(0, copyRest);
    EXPECT_EQ(TARGET_ASK, TargetRules_Decide(3, c_lowOther, (1ULL << 32) + 2, c_time, &copyRest));
    EXPECT_EQ(1, copyRest);
}
