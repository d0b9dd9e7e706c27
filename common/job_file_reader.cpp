// Reading a job's paths as UTF-16 for the copier.
#include "job_file_reader.h"

#include <climits>

// An older job's path, converted as the A functions converted it when the
// copier still used them: the same ANSI code page and no flags, so every
// job that ran before still names the same items.
static bool JobFile_AnsiToWide(const uint8_t *text, size_t length, WCHAR *out,
                               size_t outSize)
{
    out[0] = L'\0';
    if (length == 0)
        return true;
    if (length > (size_t)INT_MAX || outSize > (size_t)INT_MAX)
        return false;
    int units = MultiByteToWideChar(CP_ACP, 0, (const char *)text, (int)length,
                                    NULL, 0);
    if (units <= 0 || (size_t)units >= outSize)
        return false;
    if (MultiByteToWideChar(CP_ACP, 0, (const char *)text, (int)length, out,
                            units) != units) {
        out[0] = L'\0';
        return false;
    }
    out[units] = L'\0';
    return true;
}

bool JobFile_NextSourceW(const uint8_t *body, size_t bodySize, int textForm,
                         uint32_t *cursor, WCHAR *out, size_t outSize)
{
    if (outSize == 0) {
        size_t start, length;
        JobFile_TakeString(body, bodySize, cursor, &start, &length);
        return false;
    }
    if (textForm == JOB_TEXT_UTF8)
        return JobFile_NextSourceUtf8(body, bodySize, cursor, out, outSize);
    size_t start = 0, length = 0;
    if (!JobFile_TakeString(body, bodySize, cursor, &start, &length)) {
        out[0] = L'\0';
        return false;
    }
    return JobFile_AnsiToWide(body + start, length, out, outSize);
}
