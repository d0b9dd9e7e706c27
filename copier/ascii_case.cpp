// The copier's one lower-case helper (see ascii_case.h).
#include "ascii_case.h"

void LowerCaseAscii(char *text)
{
    for (; *text; text++)
        *text = LowerCaseAsciiChar(*text);
}
