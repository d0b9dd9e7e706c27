// File helpers shared by the engine's Wine tests: making source trees with
// known bytes, times and attributes, running one job to its end, and
// comparing targets byte for byte.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "job_file.h"
#include "ui_driver.h"

// Deterministic bytes that differ from file to file and from chunk to
// chunk, so a misplaced or repeated chunk shows.
inline std::string Engine_Bytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < size; i++) {
        state = state * 1103515245u + 12345u;
        bytes[i] = (char)(state >> 16);
    }
    return bytes;
}

inline std::string Engine_Join(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

// A fixed last-write time per seed, far from "now", so a target that got
// its own time instead of the source's is told apart at once.
inline FILETIME Engine_Time(unsigned seed)
{
    SYSTEMTIME st = {};
    st.wYear = (WORD)(1999 + seed % 20);
    st.wMonth = (WORD)(1 + seed % 12);
    st.wDay = (WORD)(1 + seed % 28);
    st.wHour = (WORD)(seed % 24);
    st.wMinute = (WORD)(seed * 7 % 60);
    st.wSecond = (WORD)(seed * 13 % 60);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

inline bool Engine_SetWriteTime(const std::string &path, const FILETIME &time)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = SetFileTime(file, NULL, &time, &time);
    CloseHandle(file);
    return ok != 0;
}

// Writes a source file with `size` bytes of seed `seed` and that seed's
// time.  Returns its bytes.
inline std::string Engine_MakeFile(const std::string &path, size_t size,
                                   unsigned seed)
{
    std::string bytes = Engine_Bytes(size, seed);
    EXPECT_TRUE(Driver_WriteFile(path, bytes)) << path;
    EXPECT_TRUE(Engine_SetWriteTime(path, Engine_Time(seed))) << path;
    return bytes;
}

inline void Engine_MakeFolder(const std::string &path)
{
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL)) << path;
}

inline bool Engine_Find(const std::string &path, WIN32_FIND_DATAA *found)
{
    HANDLE search = FindFirstFileA(path.c_str(), found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

inline bool Engine_Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The target holds exactly `bytes` and bears the last-write time of seed
// `seed` (creation times are not kept by Wine, so they prove nothing).
inline void Engine_ExpectFile(const std::string &path, const std::string &bytes,
                              unsigned seed)
{
    std::string content;
    ASSERT_TRUE(Driver_ReadFile(path, &content)) << path;
    EXPECT_EQ(bytes.size(), content.size()) << path;
    EXPECT_TRUE(content == bytes) << path << ": bytes differ";
    WIN32_FIND_DATAA found;
    ASSERT_TRUE(Engine_Find(path, &found)) << path;
    FILETIME want = Engine_Time(seed);
    EXPECT_EQ(want.dwLowDateTime, found.ftLastWriteTime.dwLowDateTime) << path;
    EXPECT_EQ(want.dwHighDateTime, found.ftLastWriteTime.dwHighDateTime) << path;
}

// Names in a folder, "." and ".." left out, sorted.
inline std::vector<std::string> Engine_List(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Engine_Join(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Writes the job, starts the copier on it and waits for the process to
// end by itself.  Fails the test (and ends the copier) when it does not.
inline void Engine_RunJob(const std::string &tempFolder, int number, int mode,
                          const std::string &target,
                          const std::vector<std::string> &sources,
                          DWORD timeoutMs = 60000)
{
    Driver_WriteJob(tempFolder, number, mode, target, sources);
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(tempFolder, std::to_string(number), &copier));
    bool ended = Driver_WaitForExit(&copier, timeoutMs);
    bool asked = Driver_HasDialog(&copier, "Confirm File Replace") ||
                 Driver_HasDialog(&copier, "Error Copying File") ||
                 Driver_HasDialog(&copier, "Error Moving File");
    Driver_Kill(&copier);
    EXPECT_FALSE(asked) << "the job stopped at a question";
    ASSERT_TRUE(ended) << "the copier did not finish the job by itself";
    std::string jobFile = Engine_Join(tempFolder,
                                      "tesqueue." + std::to_string(number));
    EXPECT_FALSE(Engine_Exists(jobFile)) << "a finished job keeps no job file";
}

// Removes a folder and everything in it (best effort, for clean-up).
inline void Engine_RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Engine_Join(folder, "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = Engine_Join(folder, name);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Engine_RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// A fresh folder on drive C: of the test prefix.  The test area lies on
// another letter (Z:, Wine's view of the Unix root), so C: and the test
// area are two drives for the copier: a move between them must copy and
// delete instead of renaming.
inline std::string Engine_FolderOnDriveC(const char *name)
{
    std::string folder = std::string("C:\\tes_engine_") + name;
    Engine_RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}
