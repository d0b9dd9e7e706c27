// Fuzzes the job-file check the copier applies before it trusts a body and
// the walkers that take its sources, in both forms: whatever the bytes, the
// check and the walkers stay inside them, a body the check accepts walks
// cleanly for exactly `sourceCount` paths, and every path of an accepted
// Unicode body decodes whole and encodes back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "job_file.h"

namespace {

const size_t c_maxPath = 999;

// The ANSI form, walked with the copier's byte walker.
void Fuzz_AnsiBody(const std::vector<uint8_t> &body, uint8_t seed)
{
    JOB_BODY_INFO info;
    if (!JobFile_CheckBody(body.data(), body.size(), c_maxPath, &info))
        return;
    uint32_t cursor = info.firstSourceOffset;
    char path[c_maxPath + 2];
    for (uint32_t i = 0; i < info.sourceCount; i++) {
        uint32_t before = cursor;
        JobFile_NextSource(body.data(), body.size(), &cursor, path, sizeof path);
        size_t length = strlen(path);
        if (length > c_maxPath || cursor != before + length + 1)
            __builtin_trap();
    }
    if (cursor > body.size())
        __builtin_trap();
    // A cursor anywhere, even past the end, stays inside the body.
    uint32_t anywhere = (uint32_t)seed * 7;
    JobFile_NextSource(body.data(), body.size(), &anywhere, path, sizeof path);
    if (anywhere > body.size())
        __builtin_trap();
}

// The Unicode form: the UTF-8 walker, and the round trip of every path.
void Fuzz_Utf8Body(const std::vector<uint8_t> &body, uint8_t seed)
{
    JOB_BODY_INFO info;
    if (!JobFile_CheckBodyOfForm(body.data(), body.size(), JOB_TEXT_UTF8,
                                 c_maxPath, &info))
        return;
    if (info.textForm != JOB_TEXT_UTF8)
        __builtin_trap();
    std::vector<JOB_WCHAR> path(c_maxPath + 1);
    std::vector<uint8_t> back(3 * c_maxPath + 1);
    uint32_t cursor = info.firstSourceOffset;
    for (uint32_t i = 0; i < info.sourceCount; i++) {
        uint32_t before = cursor;
        if (!JobFile_NextSourceUtf8(body.data(), body.size(), &cursor,
                                    path.data(), path.size()))
            __builtin_trap();       // the check promised it fits and decodes
        size_t units = JobText_Length(path.data());
        int64_t bytes = JobText_Utf16ToUtf8(path.data(), units, back.data(),
                                            back.size());
        if (bytes < 0 || cursor != before + (uint32_t)bytes + 1 ||
            memcmp(back.data(), body.data() + before, (size_t)bytes) != 0)
            __builtin_trap();
    }
    if (cursor > body.size())
        __builtin_trap();
    // Any cursor and any buffer size: inside the body, and the buffer
    // never gets more than it can hold.
    uint32_t anywhere = (uint32_t)seed * 7;
    size_t small = seed % 5;
    JobFile_NextSourceUtf8(body.data(), body.size(), &anywhere, path.data(),
                           small);
    if (anywhere > body.size())
        __builtin_trap();
}

// Raw bytes as one string: the decoder agrees with its own measure, and
// whatever it accepts encodes back to the same bytes.
void Fuzz_Text(const uint8_t *data, size_t size)
{
    int64_t units = JobText_Utf16Length(data, size);
    std::vector<JOB_WCHAR> text(size + 1);
    bool decoded = JobText_Utf8ToUtf16(data, size, text.data(), text.size());
    if (decoded != (units >= 0))
        __builtin_trap();
    if (!decoded)
        return;
    if ((int64_t)JobText_Length(text.data()) != units &&
        memchr(data, 0, size) == NULL)
        __builtin_trap();
    std::vector<uint8_t> back(size + 1);
    if (JobText_Utf16ToUtf8(text.data(), (size_t)units, back.data(),
                            back.size()) != (int64_t)size ||
        memcmp(back.data(), data, size) != 0)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz_Text(data, size);
    if (size < JOB_HEADER_SIZE)
        return 0;
    JobFile_ModeFromHeader(data);
    JobFile_TextFormFromHeader(data);
    // A copy of exactly the body, so ASan sees any read past it.
    std::vector<uint8_t> body(data + JOB_HEADER_SIZE, data + size);
    uint8_t seed = data[0];
    Fuzz_AnsiBody(body, seed);
    Fuzz_Utf8Body(body, seed);
    return 0;
}
