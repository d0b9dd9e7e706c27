// Strict UTF-8 <-> UTF-16, as the Unicode job file stores its paths.
#include "job_text.h"

enum : uint32_t {
    SURROGATE_FIRST = 0xD800,
    SURROGATE_LOW_FIRST = 0xDC00,
    SURROGATE_LAST = 0xDFFF,
    BMP_LAST = 0xFFFF,
    CODE_POINT_LAST = 0x10FFFF,
};

static bool JobText_IsContinuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

int JobText_DecodeUtf8(const uint8_t *text, size_t length,
                       uint32_t *codePoint)
{
    if (length == 0)
        return 0;
    uint8_t lead = text[0];
    int size;
    uint32_t value;
    uint32_t smallest;       // below it the form is overlong
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        // 0x80..0xBF continue a sequence, 0xC0/0xC1 can only be overlong,
        // 0xF5 and up would go past U+10FFFF.
        return 0;
    }
    if (length < (size_t)size)
        return 0;
    for (int i = 1; i < size; i++) {
        if (!JobText_IsContinuation(text[i]))
            return 0;
        value = (value << 6) | (text[i] & 0x3F);
    }
    if (value < smallest || value > CODE_POINT_LAST ||
        (value >= SURROGATE_FIRST && value <= SURROGATE_LAST))
        return 0;
    *codePoint = value;
    return size;
}

int64_t JobText_Utf16Length(const uint8_t *text, size_t length)
{
    int64_t units = 0;
    size_t pos = 0;
    while (pos < length) {
        uint32_t codePoint;
        int size = JobText_DecodeUtf8(text + pos, length - pos, &codePoint);
        if (size == 0)
            return -1;
        units += codePoint > BMP_LAST ? 2 : 1;
        pos += (size_t)size;
    }
    return units;
}

bool JobText_Utf8ToUtf16(const uint8_t *text, size_t length, JOB_WCHAR *out,
                         size_t outSize)
{
    if (outSize == 0)
        return false;
    size_t used = 0;
    size_t pos = 0;
    while (pos < length) {
        uint32_t codePoint;
        int size = JobText_DecodeUtf8(text + pos, length - pos, &codePoint);
        size_t units = size != 0 && codePoint > BMP_LAST ? 2 : 1;
        if (size == 0 || used + units >= outSize) {
            out[0] = 0;
            return false;
        }
        if (units == 2) {
            codePoint -= 0x10000;
            out[used++] = (JOB_WCHAR)(SURROGATE_FIRST + (codePoint >> 10));
            out[used++] =
                (JOB_WCHAR)(SURROGATE_LOW_FIRST + (codePoint & 0x3FF));
        } else {
            out[used++] = (JOB_WCHAR)codePoint;
        }
        pos += (size_t)size;
    }
    out[used] = 0;
    return true;
}

int64_t JobText_Utf16ToUtf8(const JOB_WCHAR *text, size_t length, uint8_t *out,
                         size_t outSize)
{
    int64_t used = 0;
    for (size_t i = 0; i < length; i++) {
        uint32_t codePoint = (uint16_t)text[i];
        if (codePoint >= SURROGATE_FIRST && codePoint <= SURROGATE_LAST) {
            // Only a high surrogate followed by a low one is a character.
            uint32_t low = i + 1 < length ? (uint16_t)text[i + 1] : 0;
            if (codePoint >= SURROGATE_LOW_FIRST || low < SURROGATE_LOW_FIRST ||
                low > SURROGATE_LAST)
                return -1;
            codePoint = 0x10000 + ((codePoint - SURROGATE_FIRST) << 10) +
                        (low - SURROGATE_LOW_FIRST);
            i++;
        }
        uint8_t bytes[4];
        int size;
        if (codePoint < 0x80) {
            bytes[0] = (uint8_t)codePoint;
            size = 1;
        } else if (codePoint < 0x800) {
            bytes[0] = (uint8_t)(0xC0 | (codePoint >> 6));
            bytes[1] = (uint8_t)(0x80 | (codePoint & 0x3F));
            size = 2;
        } else if (codePoint < 0x10000) {
            bytes[0] = (uint8_t)(0xE0 | (codePoint >> 12));
            bytes[1] = (uint8_t)(0x80 | ((codePoint >> 6) & 0x3F));
            bytes[2] = (uint8_t)(0x80 | (codePoint & 0x3F));
            size = 3;
        } else {
            bytes[0] = (uint8_t)(0xF0 | (codePoint >> 18));
            bytes[1] = (uint8_t)(0x80 | ((codePoint >> 12) & 0x3F));
            bytes[2] = (uint8_t)(0x80 | ((codePoint >> 6) & 0x3F));
            bytes[3] = (uint8_t)(0x80 | (codePoint & 0x3F));
            size = 4;
        }
        for (int b = 0; b < size; b++, used++)
            if (out && (uint64_t)used < outSize)
                out[used] = bytes[b];
    }
    return used;
}

size_t JobText_Length(const JOB_WCHAR *text)
{
    size_t length = 0;
    while (text[length])
        length++;
    return length;
}
