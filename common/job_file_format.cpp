// Byte layout of the job file: the pure half, shared by the writer, the
// copier's loader, the native tests and the fuzzer.
#include "job_file.h"

#include <cstring>

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

bool JobFile_CheckBody(const uint8_t *body, size_t bodySize,
                       size_t maxPathChars, JOB_BODY_INFO *info)
{
    if (!body || bodySize < JOB_COUNT_SIZE)
        return false;

    uint32_t count = JobFile_CountFromBody(body);
    long targetLength =
        JobFile_StringAt(body, bodySize, JOB_TARGET_OFFSET, maxPathChars);
    if (targetLength <= 0)
        return false;

    size_t pos = JOB_TARGET_OFFSET + (size_t)targetLength + 1;
    size_t firstSource = pos;
    for (uint32_t i = 0; i < count; i++) {
        long length = JobFile_StringAt(body, bodySize, pos, maxPathChars);
        if (length < 0)
            return false;
        pos += (size_t)length + 1;
    }

    if (info) {
        info->sourceCount = count;
        info->targetOffset = JOB_TARGET_OFFSET;
        info->targetLength = (uint32_t)targetLength;
        info->firstSourceOffset = (uint32_t)firstSource;
    }
    return true;
}

void JobFile_NextSource(const uint8_t *body, size_t bodySize, uint32_t *cursor,
                        char *out, size_t outSize)
{
    size_t pos = *cursor < bodySize ? *cursor : bodySize;
    const uint8_t *start = body + pos;
    const void *nul = memchr(start, 0, bodySize - pos);
    size_t length = nul ? (size_t)((const uint8_t *)nul - start)
                        : bodySize - pos;
    if (outSize > 0) {
        size_t kept = length < outSize - 1 ? length : outSize - 1;
        memcpy(out, start, kept);
        out[kept] = '\0';
    }
    pos += length;
    if (pos < bodySize)
        pos++;              // past the NUL
    *cursor = (uint32_t)pos;
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

int JobFile_NumberFromRand(int randValue)
{
    return (int)((unsigned)randValue % JOB_NUMBER_COUNT) + JOB_NUMBER_FIRST;
}
