// Lower case as the copier uses it: A to Z only, every other byte (accented
// letters of the code page included) unchanged.  Paths shown to the user,
// path comparisons and the job file's name all fold this way.  Pure logic.
#pragma once

inline char LowerCaseAsciiChar(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

// Lower-cases `text` in place.
void LowerCaseAscii(char *text);
