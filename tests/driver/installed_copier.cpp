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

// The texts of the files "<prefix>*" in `records`, sorted; empty files (a
// launch still being written) left out.
static std::vector<std::string> Driver_ReadRecords(const std::string &records,
                                                   const char *prefix)
{
    std::vector<std::string> texts;
    WIN32_FIND_DATAA found;
    HANDLE search =
        FindFirstFileA((records + "\\" + prefix + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string text;
            if (Driver_ReadFile(records + "\\" + found.cFileName, &text) &&
                !text.empty())
                texts.push_back(text);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::vector<std::string> Driver_RecordedLaunches(const std::string &records,
                                                 DWORD launcherId)
{
    EXPECT_TRUE(Driver_WaitForChildrenToEnd(launcherId))
        << "a launched copier did not end";
    return Driver_ReadRecords(records, "launch_");
}

bool Driver_WaitForLaunchRecords(const std::string &records, size_t count)
{
    DWORD start = GetTickCount();
    while (Driver_ReadRecords(records, "launch_").size() < count) {
        if (GetTickCount() - start > DRIVER_TIMEOUT_MS)
            return false;
        Sleep(10);
    }
    return true;
}

std::vector<std::string> Driver_RecordedCommandLines(const std::string &records,
                                                     DWORD launcherId)
{
    // The command file is complete before its launch file is made.
    Driver_RecordedLaunches(records, launcherId);
    return Driver_ReadRecords(records, "command_");
}
