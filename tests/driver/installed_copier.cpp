// Puts a program of the test's choice where drops and the resume scan look
// for the copier, and takes it away again.
#include "installed_copier.h"

#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "child_processes.h"
#include "test_files.h"
#include "ui_driver.h"

DRIVER_INSTALLED_COPIER::~DRIVER_INSTALLED_COPIER()
{
    if (installed.empty())
        return;
    DeleteFileA(installed.c_str());
    if (hadInstalled)
        MoveFileExA(saved.c_str(), installed.c_str(),
                    MOVEFILE_REPLACE_EXISTING);
    SetEnvironmentVariableA("TES_STANDIN_RECORDS", NULL);
}

bool Driver_InstallCopier(DRIVER_INSTALLED_COPIER *copier,
                          const std::string &program)
{
    if (!copier->installed.empty()) {
        // Installed once already: the original is saved, only swap ours.
        DeleteFileA(copier->installed.c_str());
        return program.empty() ||
               CopyFileA(program.c_str(), copier->installed.c_str(), FALSE);
    }
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return false;
    copier->installed = std::string(windows) + "\\tesrun.exe";
    copier->saved = copier->installed + ".saved-by-test";
    copier->hadInstalled = Driver_FileExists(copier->installed);
    if (copier->hadInstalled &&
        !MoveFileExA(copier->installed.c_str(), copier->saved.c_str(),
                     MOVEFILE_REPLACE_EXISTING))
        return false;
    return program.empty() ||
           CopyFileA(program.c_str(), copier->installed.c_str(), FALSE);
}

bool Driver_InstallRecordingCopier(DRIVER_INSTALLED_COPIER *copier,
                                   const std::string &records)
{
    SetEnvironmentVariableA("TES_STANDIN_RECORDS", records.c_str());
    return Driver_InstallCopier(copier,
                                Driver_BinFolder() + "\\tesrun_standin.exe");
}

std::vector<std::string> Driver_RecordedLaunches(const std::string &records,
                                                 DWORD launcherId)
{
    std::vector<std::string> arguments;
    EXPECT_TRUE(Driver_WaitForChildrenToEnd(launcherId))
        << "a launched copier did not end";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Files_Join(records, "launch_*").c_str(),
                                   &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string text;
            EXPECT_TRUE(
                Driver_ReadFile(Files_Join(records, found.cFileName), &text));
            arguments.push_back(text);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(arguments.begin(), arguments.end());
    return arguments;
}
