// Fuzzes the job-file check the copier applies before it trusts a body and
// the walker that takes its sources: whatever the bytes, both stay inside
// them, and a body the check accepts walks cleanly for exactly
// `sourceCount` paths.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "job_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < JOB_HEADER_SIZE)
        return 0;
    JobFile_ModeFromHeader(data);
    // A copy of exactly the body, so ASan sees any read past it.
    std::vector<uint8_t> body(data + JOB_HEADER_SIZE, data + size);
    JOB_BODY_INFO info;
    const size_t maxPath = 999;
    if (!JobFile_CheckBody(body.data(), body.size(), maxPath, &info))
        return 0;

    // Walk with the copier's own walker: every path of an accepted body
    // ends with its NUL within the body and fits the copier's buffers.
    uint32_t cursor = info.firstSourceOffset;
    char path[maxPath + 2];
    for (uint32_t i = 0; i < info.sourceCount; i++) {
        uint32_t before = cursor;
        JobFile_NextSource(body.data(), body.size(), &cursor, path, sizeof path);
        size_t length = strlen(path);
        if (length > maxPath || cursor != before + length + 1)
            __builtin_trap();
    }
    if (cursor > body.size())
        __builtin_trap();
    // A cursor anywhere, even past the end, stays inside the body.
    if (!body.empty()) {
        uint32_t anywhere = (uint32_t)data[0] * 7;
        JobFile_NextSource(body.data(), body.size(), &anywhere, path,
                           sizeof path);
        if (anywhere > body.size())
            __builtin_trap();
    }
    return 0;
}
