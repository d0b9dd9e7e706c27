// Digit groups and date lines of the replace question.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats.h"

static std::string Thousands(uint64_t value)
{
    char text[THOUSANDS_TEXT_CHARS];
    memset(text, 'x', sizeof text);
    FormatThousands(value, text);
    return text;
}

TEST(FormatThousands, EachFormAndItsBoundaries)
{
    EXPECT_EQ("0", Thousands(0));
    EXPECT_EQ("999", Thousands(999));
    EXPECT_EQ("1.000", Thousands(1000));
    EXPECT_EQ("1.005", Thousands(1005));
    EXPECT_EQ("999.999", Thousands(999999));
    EXPECT_EQ("1.000.000", Thousands(1000000));
    EXPECT_EQ("1.234.567", Thousands(1234567));
    EXPECT_EQ("999.999.999", Thousands(999999999));
    EXPECT_EQ("1.000.000.000", Thousands(1000000000));
    EXPECT_EQ("1.002.003.004", Thousands(1002003004));
}

TEST(FormatThousands, BeyondThirtyTwoBitsEveryGroupIsExact)
{
    EXPECT_EQ("2.147.483.648", Thousands(2147483648ULL));
    EXPECT_EQ("3.000.000.000", Thousands(3000000000ULL));
    EXPECT_EQ("4.294.967.296", Thousands(4294967296ULL));
    EXPECT_EQ("5.000.000.000", Thousands(5000000000ULL));
    EXPECT_EQ("5.000.000.001", Thousands(5000000001ULL));
    // The leading group grows past three digits instead of wrapping.
    EXPECT_EQ("3000.000.000.000", Thousands(3000000000000ULL));
    EXPECT_EQ("18446744073.709.551.615", Thousands(UINT64_MAX));
}

TEST(FormatThousands, SizeTextNamesBytes)
{
    char text[64];
    Formats_SizeText(1234567, text, sizeof text);
    EXPECT_STREQ("1.234.567 Bytes", text);
    Formats_SizeText(0, text, sizeof text);
    EXPECT_STREQ("0 Bytes", text);
}

TEST(DateText, PadsDayMinuteSecondButNotHour)
{
    char text[64];
    Formats_DateText(3, 5, 1998, 9, 7, 3, text, sizeof text);
    EXPECT_STREQ("modified on March 05, 1998, 9:07:03", text);
    Formats_DateText(12, 31, 2026, 23, 59, 58, text, sizeof text);
    EXPECT_STREQ("modified on December 31, 2026, 23:59:58", text);
    Formats_DateText(1, 1, 2000, 0, 0, 0, text, sizeof text);
    EXPECT_STREQ("modified on January 01, 2000, 0:00:00", text);
}

TEST(DateText, MonthOutsideTheTableGivesNoName)
{
    char text[64];
    Formats_DateText(0, 1, 1601, 0, 0, 0, text, sizeof text);
    EXPECT_STREQ("modified on  01, 1601, 0:00:00", text);
    Formats_DateText(13, 1, 1601, 0, 0, 0, text, sizeof text);
    EXPECT_STREQ("modified on  01, 1601, 0:00:00", text);
}

TEST(DateText, FitsTheReplaceDialogsSmallTexts)
{
    // The longest month, a five-digit year and the largest fields must fit
    // the 64-character texts that hold the dates.
    char text[64];
    memset(text, 'x', sizeof text);
    Formats_DateText(9, 30, 30827, 23, 59, 59, text, sizeof text);
    EXPECT_STREQ("modified on September 30, 30827, 23:59:59", text);
}

TEST(DateText, NamesEachMonth)
{
    const char *const months[] = {"January", "February", "March",
                                  "April",   "May",      "June",
                                  "July",    "August",   "September",
                                  "October", "November", "December"};
    for (int month = 1; month <= 12; month++) {
        char text[64];
        Formats_DateText(month, 9, 2004, 10, 11, 12, text, sizeof text);
        EXPECT_EQ(std::string("modified on ") + months[month - 1] +
                      " 09, 2004, 10:11:12",
                  text);
    }
}
