// Time steps, file sizes and free space of the target volume (see
// volume_rules.h).
#include "volume_rules.h"

#include <cstring>

static bool VolumeRules_IsFat(const char *name)
{
    return strcmp(name, "FAT") == 0 || strcmp(name, "FAT12") == 0 ||
           strcmp(name, "FAT16") == 0 || strcmp(name, "FAT32") == 0;
}

uint64_t VolumeRules_TimeStepOfFileSystem(const char *fileSystemName)
{
    if (VolumeRules_IsFat(fileSystemName))
        return TIME_STEP_FAT;
    if (strcmp(fileSystemName, "exFAT") == 0)
        return TIME_STEP_EXFAT;
    return TIME_STEP_EXACT;
}

static uint64_t VolumeRules_Distance(uint64_t a, uint64_t b)
{
    return a > b ? a - b : b - a;
}

// The step whose grid `time` lies on and `other` does not, with the two
// less than that step apart; TIME_STEP_EXACT when there is none.
static uint64_t VolumeRules_RoundingStep(uint64_t time, uint64_t other)
{
    static const uint64_t steps[] = {TIME_STEP_EXFAT, TIME_STEP_FAT};
    for (uint64_t step : steps) {
        if (time % step == 0 && other % step != 0 &&
            VolumeRules_Distance(time, other) < step)
            return step;
    }
    return TIME_STEP_EXACT;
}

uint64_t VolumeRules_TimeStepFromReadBack(uint64_t setTime, uint64_t readBack)
{
    return VolumeRules_RoundingStep(readBack, setTime);
}

bool VolumeRules_SameWriteTime(uint64_t targetTime, uint64_t sourceTime,
                               uint64_t knownStep)
{
    if (targetTime == sourceTime)
        return true;
    uint64_t step = knownStep != TIME_STEP_EXACT
                        ? knownStep
                        : VolumeRules_RoundingStep(targetTime, sourceTime);
    return step != TIME_STEP_EXACT &&
           VolumeRules_Distance(targetTime, sourceTime) < step;
}

bool VolumeRules_FileFits(const char *fileSystemName, uint64_t size)
{
    return !VolumeRules_IsFat(fileSystemName) || size <= FAT_LARGEST_FILE;
}

bool VolumeRules_AskAboutFreeSpace(uint64_t jobBytes, bool freeKnown,
                                   uint64_t freeBytes)
{
    return freeKnown && jobBytes > freeBytes;
}
