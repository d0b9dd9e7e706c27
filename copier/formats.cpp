// Digit groups, month names and the date line of the replace question.
#include "formats.h"

#include <cinttypes>
#include <cstdio>

const char *const monthNames[13] = {
    "",        "January",  "February", "March",  "April",
    "May",     "June",     "July",     "August", "September",
    "October", "November", "December",
};

void FormatThousands(uint64_t value, char *out)
{
    // Every group comes from the full 64-bit value, and the leading group of
    // the longest form is printed as 64-bit too: counts beyond 2^31 and
    // beyond 10^12 keep every digit.
    unsigned units = (unsigned)(value % 1000);
    unsigned thousands = (unsigned)(value / 1000 % 1000);
    unsigned millions = (unsigned)(value / 1000000 % 1000);
    if (value < 1000)
        snprintf(out, THOUSANDS_TEXT_CHARS, "%u", units);
    else if (value < 1000000)
        snprintf(out, THOUSANDS_TEXT_CHARS, "%u.%.3u", thousands, units);
    else if (value < 1000000000)
        snprintf(out, THOUSANDS_TEXT_CHARS, "%u.%.3u.%.3u", millions,
                 thousands, units);
    else
        snprintf(out, THOUSANDS_TEXT_CHARS, "%" PRIu64 ".%.3u.%.3u.%.3u",
                 value / 1000000000, millions, thousands, units);
}

void Formats_SizeText(uint64_t value, char *out, size_t outSize)
{
    char digits[THOUSANDS_TEXT_CHARS];
    FormatThousands(value, digits);
    snprintf(out, outSize, "%s Bytes", digits);
}

void Formats_DateText(int month, int day, int year, int hour, int minute,
                      int second, char *out, size_t outSize)
{
    const char *name = (month >= 1 && month <= 12) ? monthNames[month] : "";
    snprintf(out, outSize, "modified on %s %.2i, %i, %i:%.2i:%.2i", name, day,
             year, hour, minute, second);
}
