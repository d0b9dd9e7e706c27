// Lower case as the copier shows paths: A to Z only, every other character
// (accented and other scripts' letters included) unchanged.  Comparisons
// of paths use the system's ordinal compare instead (path_compare.h).
// Pure logic.
#pragma once

inline char LowerCaseAsciiChar(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

inline wchar_t LowerCaseAsciiCharW(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? (wchar_t)(c - L'A' + L'a') : c;
}

// Lower-cases `text` in place.
void LowerCaseAscii(char *text);
void LowerCaseAsciiW(wchar_t *text);
