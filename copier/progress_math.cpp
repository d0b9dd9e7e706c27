// The progress window's arithmetic and texts (see progress_math.h).  Every
// "KB" here is 1,000 bytes.
#include "progress_math.h"

#include "ascii_case.h"
#include "job_file.h"

#include <climits>
#include <cstdio>
#include <cwchar>
#include <string>

int ProgressMath_BarPosition(uint64_t doneBytes, uint64_t jobBytes)
{
    if (jobBytes == 0)
        return 0;
    return (int)((double)doneBytes / (double)jobBytes * PROGRESS_BAR_RANGE);
}

int ProgressMath_Percent(uint64_t doneBytes, uint64_t jobBytes)
{
    if (jobBytes == 0)
        return 0;
    return (int)((double)doneBytes / (double)jobBytes * 100.0);
}

// More done than counted (a file that grew after the scan, a rename that
// fell back to a copy of bytes never scanned) leaves nothing, not a
// negative amount.
static long long ProgressMath_KilobytesLeft(uint64_t jobBytes,
                                            uint64_t doneBytes)
{
    if (doneBytes >= jobBytes)
        return 0;
    return (long long)((jobBytes - doneBytes) / 1000);
}

void ProgressMath_FormatBytesLeft(uint64_t jobBytes, uint64_t doneBytes,
                                  char *out, size_t outSize)
{
    long long k = ProgressMath_KilobytesLeft(jobBytes, doneBytes);
    if (k < 1000)
        snprintf(out, outSize, "Bytes left : %lld KB", k);
    else if (k < 1000000)
        snprintf(out, outSize, "Bytes left : %lld.%.3lld KB", k / 1000,
                 k % 1000);
    else
        snprintf(out, outSize, "Bytes left : %.lld.%.3lld.%.3lld KB",
                 k / 1000000, (k / 1000) % 1000, k % 1000);
}

void ProgressMath_FormatPercent(int percent, char *out, size_t outSize)
{
    snprintf(out, outSize, "%d %%", percent);
}

void ProgressMath_FormatTitle(int percent, int paused, int copyMode,
                              char *out, size_t outSize)
{
    const char *format = paused     ? "(%d%%) Paused"
                         : copyMode ? "(%d%%) Copying..."
                                    : "(%d%%) Moving...";
    snprintf(out, outSize, format, percent);
}

void ProgressMath_FormatPathLine(const wchar_t *prefix, const wchar_t *path,
                                 const wchar_t *suffix, wchar_t *out,
                                 size_t outSize)
{
    if (outSize == 0)
        return;
    std::wstring line = prefix;
    size_t start = line.size();
    line += path;
    line += suffix;
    if (line.size() >= outSize)
        line.resize(outSize - 1);
    wcscpy(out, line.c_str());
    // Only the shown path is lower-cased, A to Z only; the prefix keeps its
    // capital letter.
    if (start < line.size())
        LowerCaseAsciiW(out + start);
}

void ProgressMath_TakeSample(RATE_RINGS *rings, int64_t sample)
{
    rings->recentRates[rings->sampleIndex % PROGRESS_RECENT_RATES] = sample;
    rings->rateHistory[rings->sampleIndex % PROGRESS_RATE_HISTORY] = sample;
    rings->sampleIndex++;
    if (rings->sampleIndex >= PROGRESS_RATE_HISTORY)
        rings->sampleIndex = 0;
}

// Summed in 64 bits: ten samples of a fast disk pass 2^31 bytes.
static long long ProgressMath_Sum(const int64_t *values, int count)
{
    long long sum = 0;
    for (int i = 0; i < count; i++)
        sum += values[i];
    return sum;
}

void ProgressMath_FormatSpeed(const RATE_RINGS *rings, int autoRetry,
                              char *out, size_t outSize)
{
    long long average =
        ProgressMath_Sum(rings->recentRates, PROGRESS_RECENT_RATES) /
        PROGRESS_RECENT_RATES;
    snprintf(out, outSize,
             autoRetry ? "%lld KB/Sec : Auto Retrying" : "%lld KB/Sec",
             average / 1000);
}

bool ProgressMath_FormatTimeLeft(const RATE_RINGS *rings, uint64_t jobBytes,
                                 uint64_t doneBytes, int jobFiles,
                                 int visitedEntries, char *out,
                                 size_t outSize)
{
    // The ten-second average in units of 1,000 bytes per second.
    long long rate =
        ProgressMath_Sum(rings->rateHistory, PROGRESS_RATE_HISTORY) / 10000;
    if (rate < 1)
        return false;
    long long seconds = ProgressMath_KilobytesLeft(jobBytes, doneBytes) / rate;
    // More entries visited than counted leave none, not a negative part.
    double entriesLeft = (double)jobFiles - (double)visitedEntries;
    if (entriesLeft < 0)
        entriesLeft = 0;
    long long total = (long long)((double)seconds + entriesLeft * 0.005);
    snprintf(out, outSize, "Time left : %.2lld:%.2lld", total / 60,
             total % 60);
    return true;
}

int ProgressMath_AddBudget(int budget, int refill)
{
    if (refill > 0 && budget > INT_MAX - refill)
        return INT_MAX;
    if (refill < 0 && budget < INT_MIN - refill)
        return INT_MIN;
    return budget + refill;
}

int ProgressMath_Refill(int limit, uint32_t elapsedMs)
{
    int64_t bytes = (int64_t)limit * elapsedMs / 1000;
    return bytes > INT_MAX ? INT_MAX : (int)bytes;
}

bool ProgressMath_MoveSkipsScan(int copyMode, const uint8_t *body,
                                size_t bodySize, uint32_t cursor,
                                int sourceCount, const wchar_t *targetFolder)
{
    if (copyMode != 0)
        return false;
    for (int i = 0; i < sourceCount; i++) {
        size_t start = 0, length = 0;
        JobFile_TakeString(body, bodySize, &cursor, &start, &length);
        const uint8_t *source = body + start;
        if (length < 3 || source[1] != ':' || source[2] != '\\' ||
            (wchar_t)source[0] != targetFolder[0])
            return false;
    }
    return true;
}
