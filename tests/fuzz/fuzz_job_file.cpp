// Fuzzes the job-file check the copier applies before it trusts a body:
// whatever the bytes, the check must stay inside them, and a body it
// accepts must walk cleanly for exactly `sourceCount` paths.
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

    // Walk as the copier's walkers do, trusting count and NULs.
    size_t pos = info.firstSourceOffset;
    for (uint32_t i = 0; i < info.sourceCount; i++) {
        size_t length = strlen((const char *)body.data() + pos);
        if (length > maxPath)
            __builtin_trap();
        pos += length + 1;
    }
    if (pos > body.size())
        __builtin_trap();
    return 0;
}
