// Strict UTF-8 <-> UTF-16 for the job file's Unicode form.  Plain C++ with
// no Win32 call: the writer, the copier's reader, the native tests and the
// fuzzer share it.  Strict on both sides, because a name that converts
// loosely can arrive as the name of another file: overlong forms, surrogates
// written as UTF-8, code points past U+10FFFF, cut sequences and unpaired
// UTF-16 surrogates are all refused, never replaced.
#pragma once

#include <cstddef>
#include <cstdint>

// A UTF-16 code unit: WCHAR where the W functions take it, char16_t in the
// native build (where wchar_t is 32 bits wide).
#ifdef _WIN32
typedef wchar_t JOB_WCHAR;
#else
typedef char16_t JOB_WCHAR;
#endif

// Decodes the one code point that starts `text` (`length` bytes available).
// Returns the bytes it takes (1 to 4) and puts it in *codePoint, or 0 when
// the bytes there are no well-formed UTF-8.
int JobText_DecodeUtf8(const uint8_t *text, size_t length,
                       uint32_t *codePoint);

// The UTF-16 units that `length` bytes of UTF-8 decode to, or -1 when they
// are not well-formed UTF-8 from end to end.
int64_t JobText_Utf16Length(const uint8_t *text, size_t length);

// Decodes `length` bytes of UTF-8 into `out` (room for `outSize` units, the
// NUL included).  Returns true with the whole text and its NUL in `out`;
// false, with `out` empty when it has room, when the bytes are not
// well-formed or the text does not fit: a path cut short would name
// another item.
bool JobText_Utf8ToUtf16(const uint8_t *text, size_t length, JOB_WCHAR *out,
                         size_t outSize);

// Encodes `length` UTF-16 units as UTF-8 into `out` (`outSize` bytes; no NUL
// is added).  Returns the bytes the text takes, whether or not `out` had
// room for them (NULL measures only), or -1 for an unpaired surrogate.
int64_t JobText_Utf16ToUtf8(const JOB_WCHAR *text, size_t length, uint8_t *out,
                         size_t outSize);

// Units before the first NUL of `text`.
size_t JobText_Length(const JOB_WCHAR *text);
