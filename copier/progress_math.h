// The progress window's arithmetic and texts: percentage, bar position,
// bytes left, speed, time left, titles and the From/To lines.  Plain values
// in, plain values out, no Win32 call, so the rules build natively for tests.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    PROGRESS_BAR_RANGE = 350,
    PROGRESS_RECENT_RATES = 3,      // one-second samples averaged for speed
    PROGRESS_RATE_HISTORY = 10,     // one-second samples for the time left
    PROGRESS_TICKS_PER_SAMPLE = 10, // 100 ms ticks in one sample
    PROGRESS_LINE_CHARS = 1200,     // a From/To line as shown: a path cut
};

// The monitor's two rings of one-second byte counts.
struct RATE_RINGS {
    // 64-bit: a fast disk moves more than 2^31 bytes in one second.
    int64_t recentRates[PROGRESS_RECENT_RATES];
    int64_t rateHistory[PROGRESS_RATE_HISTORY];
    int sampleIndex;                // 0..9, picks the slots of the next sample
};

// Whole part of done / job x 350 and x 100; 0 when nothing was counted.
int ProgressMath_BarPosition(uint64_t doneBytes, uint64_t jobBytes);
int ProgressMath_Percent(uint64_t doneBytes, uint64_t jobBytes);

// "Bytes left : ..." with (job - done) / 1000 KB, full stops between groups;
// negative when more was done than counted.
void ProgressMath_FormatBytesLeft(uint64_t jobBytes, uint64_t doneBytes,
                                  char *out, size_t outSize);

// "%d %%" for control 1003.
void ProgressMath_FormatPercent(int percent, char *out, size_t outSize);

// "(%d%%) Paused" / "(%d%%) Copying..." / "(%d%%) Moving...".
void ProgressMath_FormatTitle(int percent, int paused, int copyMode,
                              char *out, size_t outSize);

// `prefix` followed by `path` with A-Z lower-cased and then `suffix`, cut
// to `outSize` units.
void ProgressMath_FormatPathLine(const wchar_t *prefix, const wchar_t *path,
                                 const wchar_t *suffix, wchar_t *out,
                                 size_t outSize);

// Stores one one-second sample in both rings and steps sampleIndex.
void ProgressMath_TakeSample(RATE_RINGS *rings, int64_t sample);

// "%d KB/Sec" (or "... : Auto Retrying") from the three recent samples.
void ProgressMath_FormatSpeed(const RATE_RINGS *rings, int autoRetry,
                              char *out, size_t outSize);

// "Time left : %.2d:%.2d".  Returns false, leaving `out` alone, when the
// history averages under 1,000 bytes per second.
bool ProgressMath_FormatTimeLeft(const RATE_RINGS *rings, uint64_t jobBytes,
                                 uint64_t doneBytes, int jobFiles,
                                 int visitedEntries, char *out,
                                 size_t outSize);

// The speed budget plus one refill, held at INT32_MAX instead of wrapping.
int ProgressMath_AddBudget(int budget, int refill);

// The bytes a limit of `limit` bytes per second allows in `elapsedMs`,
// held at INT32_MAX.
int ProgressMath_Refill(int limit, uint32_t elapsedMs);

// True when every source of a move, walked from `cursor` of the job body,
// sits on the target's drive (X:\...): the runner renames such sources, so
// their bytes need no scan.  One source elsewhere is copied byte by byte
// and the whole job is scanned.  The drive part is ASCII in both forms of
// a job, so the raw bytes tell it.
bool ProgressMath_MoveSkipsScan(int copyMode, const uint8_t *body,
                                size_t bodySize, uint32_t cursor,
                                int sourceCount, const wchar_t *targetFolder);
