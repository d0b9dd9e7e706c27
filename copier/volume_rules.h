// What the target volume does to a copy: the steps in which it keeps
// last-write times, the largest file it holds, and whether a job fits its
// free space.  Pure logic, no Win32 call.
#pragma once

#include <cstdint>

enum : uint64_t {
    // File-time units (100 ns).
    TIME_STEP_EXACT = 0,
    TIME_STEP_EXFAT = 100000,       // 10 ms
    TIME_STEP_FAT = 20000000,       // 2 s
    FAT_LARGEST_FILE = 0xFFFFFFFFull,
};

// The step of a file system by the name GetVolumeInformation gives
// ("FAT32", "exFAT", "NTFS"...); TIME_STEP_EXACT for every other name.
uint64_t VolumeRules_TimeStepOfFileSystem(const char *fileSystemName);

// The step a volume revealed by storing `setTime` and giving back
// `readBack`: the FAT or exFAT step that explains the rounding, or
// TIME_STEP_EXACT when the time came back unchanged or the change is no
// such rounding.
uint64_t VolumeRules_TimeStepFromReadBack(uint64_t setTime, uint64_t readBack);

// Are two last-write times the same within the target volume's step?
// With no known step, a target time that lies on the FAT (or exFAT) grid
// while the source's does not, and within that step of it, is taken for
// the source's time rounded by such a volume.  The time alone never makes
// a copy complete: the sizes must agree as well.
bool VolumeRules_SameWriteTime(uint64_t targetTime, uint64_t sourceTime,
                               uint64_t knownStep);

// Can a file of `size` bytes be stored on a file system of this name?
// FAT holds files of less than 4 GiB.
bool VolumeRules_FileFits(const char *fileSystemName, uint64_t size);

// Is the user to be asked before a job of `jobBytes` starts on a target
// with `freeBytes` free?  Only when the free space is known and too small.
bool VolumeRules_AskAboutFreeSpace(uint64_t jobBytes, bool freeKnown,
                                   uint64_t freeBytes);
