// Extra drive letters (see drive_letters.h).
#include "drive_letters.h"

#include <windows.h>

#include "test_files.h"
#include "ui_driver.h"

static std::string Drive_LinkPath(char letter)
{
    // C: is <prefix>/dosdevices/c:/ or, resolved, <prefix>/drive_c/.
    std::string driveC = Driver_UnixPath("C:\\");
    size_t cut = driveC.rfind("/dosdevices/");
    if (cut == std::string::npos)
        cut = driveC.rfind("/drive_c");
    if (cut == std::string::npos)
        return std::string();
    return driveC.substr(0, cut) + "/dosdevices/" + (char)(letter | 0x20) + ":";
}

DRIVER_DRIVE::~DRIVER_DRIVE()
{
    if (letter)
        Driver_RunUnix("rm -f '" + Drive_LinkPath(letter) + "'");
}

std::string Driver_MapDrive(DRIVER_DRIVE *drive, char letter,
                            const std::string &folder)
{
    std::string link = Drive_LinkPath(letter);
    std::string target = Driver_UnixPath(folder);
    if (link.empty() || target.empty() ||
        !Driver_RunUnix("ln -sfn '" + target + "' '" + link + "'"))
        return std::string();
    drive->letter = letter;
    std::string root = std::string(1, letter) + ":\\";
    if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    return root;
}

DRIVER_FAT_DRIVE::~DRIVER_FAT_DRIVE()
{
    if (!mountPoint.empty())
        Driver_RunUnix("fusermount -u '" + mountPoint + "'");
}

std::string Driver_MakeFatDrive(DRIVER_FAT_DRIVE *fat, char letter,
                                const std::string &workFolder, int megabytes,
                                std::string *why)
{
    std::string work = Driver_UnixPath(workFolder);
    std::string image = work + "/fat.img";
    std::string mount = work + "/fat";
    std::string flag = work + "/fat.mounted";
    // The flag file is made only when every step worked, so a host without
    // fusefat or /dev/fuse is told apart from a failure of ours.
    Driver_RunUnix("rm -f '" + flag + "'; mkdir -p '" + mount + "' && "
                   "truncate -s " + std::to_string(megabytes) + "M '" + image +
                   "' && mkfs.vfat -F 32 '" + image + "' >/dev/null 2>&1 && "
                   "fusefat -o rw+ '" + image + "' '" + mount +
                   "' >/dev/null 2>&1 && touch '" + flag + "'");
    std::string flagPath = Files_Join(workFolder, "fat.mounted");
    if (!Driver_FileExists(flagPath)) {
        *why = "no FAT32 drive here: mkfs.vfat or fusefat is missing, or "
               "FUSE (/dev/fuse) is not available";
        return std::string();
    }
    fat->mountPoint = mount;
    std::string root =
        Driver_MapDrive(&fat->drive, letter, Files_Join(workFolder, "fat"));
    if (root.empty())
        *why = "the FAT32 drive could not be given a drive letter";
    return root;
}
