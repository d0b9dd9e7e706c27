// The Windows folder's tesrun.exe, which drops and the resume scan start:
// a test puts a program of its choice there and the original comes back
// when the test ends.  Tests that do this share the CTest resource lock
// "windows_folder".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DRIVER_INSTALLED_COPIER {
    std::string installed;   // C:\windows\tesrun.exe
    std::string saved;       // where the original waits meanwhile
    bool hadInstalled = false;
    ~DRIVER_INSTALLED_COPIER();
};

// Copies `program` (a path) over C:\windows\tesrun.exe; an empty `program`
// only takes the installed copier away.  Called again, it swaps in another
// program and keeps the saved original.  Returns false on failure.
bool Driver_InstallCopier(DRIVER_INSTALLED_COPIER *copier,
                          const std::string &program);

// A stand-in for the copier that records every launch: the text after its
// program name goes into a new file "launch_*" in `records`, the whole
// command line (UTF-8) into "command_*".
bool Driver_InstallRecordingCopier(DRIVER_INSTALLED_COPIER *copier,
                                   const std::string &records);

// The arguments recorded in `records` (sorted) once every copier that
// process `launcherId` started has ended: a launch, if any was made, has
// been recorded by then, so an empty list means that none was made.
std::vector<std::string> Driver_RecordedLaunches(const std::string &records,
                                                 DWORD launcherId);

// Waits until `count` launches are recorded in `records`, for copiers that
// a program of the test started and outlived (tessubmit, tesdrop).
bool Driver_WaitForLaunchRecords(const std::string &records, size_t count);

// The whole command lines (UTF-8) recorded in `records`, sorted, once
// every copier that process `launcherId` started has ended.
std::vector<std::string> Driver_RecordedCommandLines(const std::string &records,
                                                     DWORD launcherId);
