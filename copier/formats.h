// Texts of the replace question: byte counts with digit groups, month names
// and the "modified on" date line.  Pure logic, no Win32 call.
#pragma once

#include <cstddef>
#include <cstdint>

enum { THOUSANDS_TEXT_CHARS = 32 };   // room for any 64-bit count

// Month names by the month number of a system time; index 0 is empty.
extern const char *const monthNames[13];

// Writes `value` with a full stop between groups of three digits
// ("1.234.567") into `out`, which holds THOUSANDS_TEXT_CHARS characters.
void FormatThousands(uint64_t value, char *out);

// "%s Bytes" with the count written by FormatThousands.
void Formats_SizeText(uint64_t value, char *out, size_t outSize);

// "modified on March 05, 1998, 9:07:03" from a broken-down local time.  A
// month outside 1 to 12 (a time that could not be converted) gives an
// empty month name rather than reading past the table.
void Formats_DateText(int month, int day, int year, int hour, int minute,
                      int second, char *out, size_t outSize);
