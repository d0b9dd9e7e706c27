// Failure makers for the Wine tests: a held file, a frozen folder.
#include "test_blockers.h"

#include <vector>

#include "test_files.h"
#include "ui_driver.h"

void Locker_Release(LOCKER *locker)
{
    if (!locker->release)
        return;
    SetEvent(locker->release);
    WaitForSingleObject(locker->process.hProcess, DRIVER_TIMEOUT_MS);
    CloseHandle(locker->process.hProcess);
    CloseHandle(locker->process.hThread);
    CloseHandle(locker->release);
    locker->release = NULL;
}

LOCKER::~LOCKER() { Locker_Release(this); }

bool Locker_Hold(const std::string &path, LOCKER *locker)
{
    static int s_count;
    char readyName[64], releaseName[64];
    wsprintfA(readyName, "tes_lock_ready_%lu_%d", GetCurrentProcessId(),
              ++s_count);
    wsprintfA(releaseName, "tes_lock_release_%lu_%d", GetCurrentProcessId(),
              s_count);
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, readyName);
    locker->release = CreateEventA(NULL, TRUE, FALSE, releaseName);
    std::string command =
        "\"" + Files_Join(Driver_BinFolder(), "lock_file.exe") + "\" \"" +
        path + "\" " + readyName + " " + releaseName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL,
                        &startup, &locker->process)) {
        CloseHandle(ready);
        CloseHandle(locker->release);
        locker->release = NULL;
        return false;
    }
    HANDLE waits[2] = {ready, locker->process.hProcess};
    DWORD woke = WaitForMultipleObjects(2, waits, FALSE, DRIVER_TIMEOUT_MS);
    CloseHandle(ready);
    return woke == WAIT_OBJECT_0;
}

IMMUTABLE_FOLDER::~IMMUTABLE_FOLDER()
{
    if (!unixPath.empty())
        Driver_RunUnix("chattr -i '" + unixPath + "'");
}

bool Blockers_CanCreateIn(const std::string &folder)
{
    std::string probe = Files_Join(folder, "probe.tmp");
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, NULL,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    return true;
}

bool Blockers_Freeze(const std::string &folder, IMMUTABLE_FOLDER *frozen)
{
    frozen->unixPath = Driver_UnixPath(folder);
    if (frozen->unixPath.empty() ||
        !Driver_RunUnix("chattr +i '" + frozen->unixPath + "'"))
        return false;
    return !Blockers_CanCreateIn(folder);
}
