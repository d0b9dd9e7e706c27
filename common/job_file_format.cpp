// Byte layout of the job file: the pure half, shared by the writer, the
// copier's loader and reader, the native tests and the fuzzer.
#include "job_file.h"

#include <climits>
#include <cstring>

int JobFile_TextFormFromHeader(const uint8_t *header)
{
    return memcmp(header, JOB_UNICODE_SIGNATURE, JOB_FILLER_SIZE) == 0
               ? JOB_TEXT_UTF8
               : JOB_TEXT_ANSI;
}

int JobFile_ModeFromHeader(const uint8_t *header)
{
    return header[JOB_MODE_OFFSET] == JOB_MODE_MOVE ? JOB_MODE_MOVE
                                                    : JOB_MODE_COPY;
}

uint32_t JobFile_CountFromBody(const uint8_t *body)
{
    return (uint32_t)body[0] | ((uint32_t)body[1] << 8) |
           ((uint32_t)body[2] << 16);
}

// Length of the NUL-terminated string at body[pos], or -1 when no NUL comes
// within the body or the string is longer than maxChars.
static long JobFile_StringAt(const uint8_t *body, size_t bodySize, size_t pos,
                             size_t maxChars)
{
    if (pos >= bodySize)
        return -1;
    size_t room = bodySize - pos;
    if (room > maxChars + 1)
        room = maxChars + 1;
    const void *nul = memchr(body + pos, 0, room);
    if (!nul)
        return -1;
    return (long)((const uint8_t *)nul - (body + pos));
}

// Length in bytes of the UTF-8 string at body[pos], or -1 when no NUL comes
// within the body, the bytes are not well-formed UTF-8, or the string
// decodes to more than maxUnits UTF-16 units.
static long JobFile_Utf8StringAt(const uint8_t *body, size_t bodySize,
                                 size_t pos, size_t maxUnits)
{
    if (pos >= bodySize)
        return -1;
    const void *nul = memchr(body + pos, 0, bodySize - pos);
    if (!nul)
        return -1;
    size_t length = (size_t)((const uint8_t *)nul - (body + pos));
    if (length > (size_t)LONG_MAX)
        return -1;
    int64_t units = JobText_Utf16Length(body + pos, length);
    if (units < 0 || (uint64_t)units > maxUnits)
        return -1;
    return (long)length;
}

static long JobFile_StringOfForm(const uint8_t *body, size_t bodySize,
                                 size_t pos, int textForm, size_t maxUnits)
{
    return textForm == JOB_TEXT_UTF8
               ? JobFile_Utf8StringAt(body, bodySize, pos, maxUnits)
               : JobFile_StringAt(body, bodySize, pos, maxUnits);
}

bool JobFile_CheckBodyOfForm(const uint8_t *body, size_t bodySize,
                             int textForm, size_t maxPathUnits,
                             JOB_BODY_INFO *info)
{
    if (!body || bodySize < JOB_COUNT_SIZE)
        return false;

    uint32_t count = JobFile_CountFromBody(body);
    long targetLength = JobFile_StringOfForm(body, bodySize, JOB_TARGET_OFFSET,
                                             textForm, maxPathUnits);
    if (targetLength <= 0)
        return false;

    size_t pos = JOB_TARGET_OFFSET + (size_t)targetLength + 1;
    size_t firstSource = pos;
    for (uint32_t i = 0; i < count; i++) {
        long length =
            JobFile_StringOfForm(body, bodySize, pos, textForm, maxPathUnits);
        if (length < 0)
            return false;
        pos += (size_t)length + 1;
    }

    if (info) {
        info->sourceCount = count;
        info->targetOffset = JOB_TARGET_OFFSET;
        info->targetLength = (uint32_t)targetLength;
        info->firstSourceOffset = (uint32_t)firstSource;
        info->textForm = textForm;
    }
    return true;
}

bool JobFile_CheckBody(const uint8_t *body, size_t bodySize,
                       size_t maxPathChars, JOB_BODY_INFO *info)
{
    return JobFile_CheckBodyOfForm(body, bodySize, JOB_TEXT_ANSI, maxPathChars,
                                   info);
}

bool JobFile_TakeString(const uint8_t *body, size_t bodySize, uint32_t *cursor,
                        size_t *start, size_t *length)
{
    size_t pos = *cursor < bodySize ? *cursor : bodySize;
    bool taken = pos < bodySize;
    const void *nul = taken ? memchr(body + pos, 0, bodySize - pos) : NULL;
    *start = pos;
    *length = nul ? (size_t)((const uint8_t *)nul - (body + pos))
                  : bodySize - pos;
    pos += *length;
    if (pos < bodySize)
        pos++;              // past the NUL
    *cursor = (uint32_t)pos;
    return taken;
}

void JobFile_NextSource(const uint8_t *body, size_t bodySize, uint32_t *cursor,
                        char *out, size_t outSize)
{
    size_t start = 0, length = 0;
    JobFile_TakeString(body, bodySize, cursor, &start, &length);
    if (outSize > 0) {
        size_t kept = length < outSize - 1 ? length : outSize - 1;
        memcpy(out, body + start, kept);
        out[kept] = '\0';
    }
}

bool JobFile_NextSourceUtf8(const uint8_t *body, size_t bodySize,
                            uint32_t *cursor, JOB_WCHAR *out, size_t outSize)
{
    size_t start = 0, length = 0;
    if (!JobFile_TakeString(body, bodySize, cursor, &start, &length)) {
        if (outSize > 0)
            out[0] = 0;
        return false;
    }
    return JobText_Utf8ToUtf16(body + start, length, out, outSize);
}

uint64_t JobFile_EncodedSize(const char *target, const char *const *sources,
                             uint32_t sourceCount)
{
    uint64_t size = JOB_HEADER_SIZE + JOB_COUNT_SIZE + strlen(target) + 1;
    for (uint32_t i = 0; i < sourceCount; i++)
        size += strlen(sources[i]) + 1;
    return size;
}

void JobFile_EncodeHead(uint8_t *out, const uint8_t *filler, int mode,
                        uint32_t sourceCount)
{
    memcpy(out, filler, JOB_FILLER_SIZE);
    out[JOB_MODE_OFFSET] = (uint8_t)(mode ? JOB_MODE_COPY : JOB_MODE_MOVE);
    out[8] = (uint8_t)(sourceCount & 0xFF);
    out[9] = (uint8_t)((sourceCount >> 8) & 0xFF);
    out[10] = (uint8_t)((sourceCount >> 16) & 0xFF);
    out[11] = (uint8_t)((sourceCount >> 24) & 0xFF);
}

void JobFile_EncodeUnicodeHead(uint8_t *out, int mode, uint32_t sourceCount)
{
    JobFile_EncodeHead(out, (const uint8_t *)JOB_UNICODE_SIGNATURE, mode,
                       sourceCount);
}

int JobFile_NumberFromRand(int randValue)
{
    return (int)((unsigned)randValue % JOB_NUMBER_COUNT) + JOB_NUMBER_FIRST;
}
