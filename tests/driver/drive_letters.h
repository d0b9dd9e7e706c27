// Extra drive letters for a test: a folder of the test (or a file system
// mounted there) under a letter of its own, as subst, a mapped drive or a
// USB stick shows it.  Wine takes a link in the prefix's dosdevices folder
// as a drive at once.
#pragma once

#include <string>

struct DRIVER_DRIVE {
    char letter = 0;
    ~DRIVER_DRIVE();     // the letter goes again
};

// Maps `letter` to `folder` (a Windows path).  Returns "X:\" on success,
// an empty text when the link could not be made.
std::string Driver_MapDrive(DRIVER_DRIVE *drive, char letter,
                            const std::string &folder);

// A FAT32 file system of `megabytes` (an image made by mkfs.vfat, mounted
// with fusefat) on a folder of the test, under a letter of its own.
struct DRIVER_FAT_DRIVE {
    std::string mountPoint;   // Unix path, while mounted
    DRIVER_DRIVE drive;
    ~DRIVER_FAT_DRIVE();      // unmounted again
};

// Returns "X:\" of the new drive, or an empty text with `why` set when this
// host can't give one (no fusefat, no /dev/fuse).
std::string Driver_MakeFatDrive(DRIVER_FAT_DRIVE *fat, char letter,
                                const std::string &workFolder, int megabytes,
                                std::string *why);
