// Honest ways to make a file operation fail, shared by the Wine tests: a
// file another program holds open, and a folder frozen with chattr +i that
// refuses new entries and deletions alike.
#pragma once

#include <windows.h>

#include <string>

// A file held open with share mode 0 by tests/win/helpers/lock_file.exe
// until Locker_Release (or the end of the test) lets it go.
struct LOCKER {
    PROCESS_INFORMATION process;
    HANDLE release;
    ~LOCKER();
};

// Starts the holder and waits until it holds `path`.
bool Locker_Hold(const std::string &path, LOCKER *locker);
void Locker_Release(LOCKER *locker);

// A folder made immutable (chattr +i) for the holder's lifetime.
struct IMMUTABLE_FOLDER {
    std::string unixPath;
    ~IMMUTABLE_FOLDER();
};

// Can a new file be created in `folder` now?
bool Blockers_CanCreateIn(const std::string &folder);

// Freezes `folder`.  Returns false when the file system does not take
// chattr +i (the caller then skips its test).
bool Blockers_Freeze(const std::string &folder, IMMUTABLE_FOLDER *frozen);
