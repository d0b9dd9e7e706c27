// The job file: the one thing the drop handler hands to the copier.
//
// Name: the temporary folder, "tesqueue." and a three-digit job number.
// Layout (little-endian, every string NUL-terminated):
//   0   7 bytes  JOB_UNICODE_SIGNATURE, or in a job written before the
//                Unicode form seven filler bytes that nobody reads
//   7   1 byte   mode: 1 copy, 0 move (anything else reads as copy)
//   8   4 bytes  source count (readers use the three low bytes only)
//   12  target folder, NUL
//   ..  exactly `source count` source paths, each with its NUL; nothing after.
// A signed job holds its paths in UTF-8, of any length; an unsigned one in
// the ANSI code page, each at most 259 bytes, so jobs left behind by an
// older drop handler still resume after an update.
//
// The layout code here is plain C++ with no Win32 call, so it also builds
// natively for the sanitizer tests and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "job_text.h"

#define JOB_NAME_PREFIX "tesqueue."      // eight letters and a dot: the
                                         // resume scan relies on that width
#define JOB_NUMBER_FORMAT "%i"

// Header bytes 0..6 of a job in the Unicode form.  Older writers left the
// low bytes of seven rand() values there, which match these seven bytes
// once in 2^56 jobs.
#define JOB_UNICODE_SIGNATURE "TesUTF8"

enum {
    JOB_NUMBER_FIRST = 100,
    JOB_NUMBER_LAST = 997,
    JOB_NUMBER_COUNT = JOB_NUMBER_LAST - JOB_NUMBER_FIRST + 1,  // 898

    JOB_HEADER_SIZE = 8,
    JOB_FILLER_SIZE = 7,
    JOB_MODE_OFFSET = 7,
    JOB_MODE_MOVE = 0,
    JOB_MODE_COPY = 1,

    JOB_COUNT_SIZE = 4,                  // body positions 0..3
    JOB_TARGET_OFFSET = 4,               // body position of the target folder
    JOB_MAX_SOURCES = 0xFFFFFF,          // three count bytes are read

    JOB_ITEM_BUFFER = 260,               // an ANSI job's path with its NUL
    JOB_PATH_BUFFER = 200,               // the job file's full path, NUL
                                         // included, as the copier builds it
    JOB_TEMP_PATH_MAX = JOB_PATH_BUFFER - 1 - 9 - 3,   // 187 characters

    JOB_NAME_CHARS = 4,                  // longest job argument: "123R"

    JOB_WIDE_PATH_MAX = 32767,           // UTF-16 units: the longest path
                                         // the W functions take
};

// How the strings of a job are encoded, from header bytes 0..6.
enum JOB_TEXT_FORM {
    JOB_TEXT_ANSI = 0,                   // the ANSI code page (older jobs)
    JOB_TEXT_UTF8 = 1,                   // UTF-8 (signed jobs)
};

// JOB_TEXT_UTF8 when the header carries the signature, JOB_TEXT_ANSI else.
int JobFile_TextFormFromHeader(const uint8_t *header);

// Mode from the eight header bytes: 0 only for a 0 byte, copy otherwise.
int JobFile_ModeFromHeader(const uint8_t *header);

// Source count from the first body bytes (body[0..2]; body[3] is ignored).
uint32_t JobFile_CountFromBody(const uint8_t *body);

// What the copier's loader learns from a checked body.
struct JOB_BODY_INFO {
    uint32_t sourceCount;
    uint32_t targetOffset;       // always JOB_TARGET_OFFSET
    uint32_t targetLength;       // bytes, without the NUL
    uint32_t firstSourceOffset;  // just past the target's NUL
    int textForm;                // JOB_TEXT_ANSI or JOB_TEXT_UTF8
};

// Checks that `body` (the file after its header, `bodySize` bytes) holds a
// count, a target folder that is not empty (an empty one would send the
// copy into the current drive's root) and exactly `sourceCount` NUL-terminated paths,
// each at most `maxPathChars` characters, all within `bodySize`.  A body
// that fails is refused as a whole: the walkers that follow rely on the
// count and the NULs, so this is what keeps them inside the buffer.
// Returns true and fills `info` when the body is sound.
bool JobFile_CheckBody(const uint8_t *body, size_t bodySize,
                       size_t maxPathChars, JOB_BODY_INFO *info);

// The same check for a body of either form (`textForm` from the header).
// An ANSI body is checked as above, `maxPathUnits` counting bytes.  A UTF-8
// body has no byte limit: each string must be well-formed UTF-8 (see
// job_text.h) and decode to at most `maxPathUnits` UTF-16 units, the size
// of the reader's path buffer without its NUL.  An ANSI path of n bytes
// never takes more than n units, so either way an accepted path fits.
bool JobFile_CheckBodyOfForm(const uint8_t *body, size_t bodySize,
                             int textForm, size_t maxPathUnits,
                             JOB_BODY_INFO *info);

// The one walker of the source list: copies the path that starts at
// `*cursor` of `body` into `out` (`outSize` bytes, cut to fit) and moves
// `*cursor` past its NUL.  Never reads past `bodySize`: a cursor at or past
// the end gives an empty path and stays at the end.  Used by the copier's
// monitor and runner and by the fuzzer.
void JobFile_NextSource(const uint8_t *body, size_t bodySize, uint32_t *cursor,
                        char *out, size_t outSize);

// Where the string at `*cursor` lies: its start in *start and its length in
// *length (up to its NUL, or to the end of a body that holds none), and
// `*cursor` moved past it.  Returns false, with an empty string, when the
// cursor stands at or past the end.  Reads nothing past `bodySize`.
bool JobFile_TakeString(const uint8_t *body, size_t bodySize, uint32_t *cursor,
                        size_t *start, size_t *length);

// The UTF-8 half of the copier's walker (job_file_reader.h): the string at
// `*cursor` decoded into `out` (`outSize` units, NUL included), and
// `*cursor` moved past it whatever happens, so the walk stays in step.
// Returns false, with `out` empty, for no string, bytes that are not
// UTF-8, or a path that does not fit: a path cut short names another item.
bool JobFile_NextSourceUtf8(const uint8_t *body, size_t bodySize,
                            uint32_t *cursor, JOB_WCHAR *out, size_t outSize);

// Bytes a job of these paths takes on disk (header included).
uint64_t JobFile_EncodedSize(const char *target, const char *const *sources,
                             uint32_t sourceCount);

// Writes the eight header bytes and the count into `out` (12 bytes).
void JobFile_EncodeHead(uint8_t *out, const uint8_t *filler, int mode,
                        uint32_t sourceCount);

// The same for a job in the Unicode form: the signature in bytes 0..6.
void JobFile_EncodeUnicodeHead(uint8_t *out, int mode, uint32_t sourceCount);

// Job number from a rand() value: 100..997.
int JobFile_NumberFromRand(int randValue);
