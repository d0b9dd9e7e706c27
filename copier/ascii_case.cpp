// The copier's lower-case helpers (see ascii_case.h).
#include "ascii_case.h"

void LowerCaseAscii(char *text)
{
    for (; *text; text++)
        *text = LowerCaseAsciiChar(*text);
}

void LowerCaseAsciiW(wchar_t *text)
{
    for (; *text; text++)
        *text = LowerCaseAsciiCharW(*text);
}
