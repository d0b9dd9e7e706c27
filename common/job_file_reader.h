// The copier's walker over a loaded job: each path given as UTF-16, from
// UTF-8 in a signed job and from the ANSI code page in an older one, so the
// copier can hand every path to the W functions whatever form it came in.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "job_file.h"

// Takes the string at `*cursor` of `body` (`bodySize` bytes) into `out`
// (`outSize` units, the NUL included) and moves `*cursor` past its NUL.
// `textForm` is the header's (JobFile_TextFormFromHeader).  Sources are
// walked from JOB_BODY_INFO.firstSourceOffset; the target folder is read
// the same way from JOB_TARGET_OFFSET.
//
// Returns true with the whole path in `out`.  Returns false, with `out`
// empty, when the cursor stands at or past the end of the body, the bytes
// are no well-formed UTF-8, or the path does not fit in `outSize`: a path
// cut short would name another item.  The cursor moves past the string in
// every case, so the walk stays in step with the count, and nothing past
// `bodySize` is ever read.
bool JobFile_NextSourceW(const uint8_t *body, size_t bodySize, int textForm,
                         uint32_t *cursor, WCHAR *out, size_t outSize);
