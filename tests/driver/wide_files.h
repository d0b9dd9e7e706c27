// Names outside the code page in tests: the tests keep paths as UTF-8
// std::strings (u8"..." literals) and go through the W functions with them,
// so a name reaches the file system as itself and never best-fitted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::wstring Driver_Wide(const std::string &utf8);
std::string Driver_Utf8(const std::wstring &wide);

// Creates a file holding `content` (fails the test otherwise).
void Files_MakeFileU(const std::string &path, const std::string &content);
// Creates one folder (fails the test otherwise).
void Files_MakeFolderU(const std::string &path);
// Creates every missing folder of a path of any length (through \\?\).
bool Files_MakeFoldersU(const std::string &path);
bool Driver_ReadFileU(const std::string &path, std::string *content);
bool Driver_FileExistsU(const std::string &path);
// Names in a folder (UTF-8), "." and ".." left out, sorted.
std::vector<std::string> Files_ListU(const std::string &folder);

// The job files ("tesqueue.*") in a temporary folder of any name.
std::vector<std::string> Driver_JobFilesU(const std::string &tempFolder);

// The exact bytes of a job in the Unicode form: the seven signature bytes
// "TesUTF8", the mode, the count, then the target and the sources as the
// UTF-8 they are given in, each with its NUL.
std::string Driver_UnicodeJobBytes(int mode, const std::string &target,
                                   const std::vector<std::string> &sources);

// Sets an environment variable of this process to a value of any name;
// the old value comes back when the scope ends.
struct DRIVER_ENV_SCOPE {
    DRIVER_ENV_SCOPE(const wchar_t *name, const std::string &value);
    ~DRIVER_ENV_SCOPE();
    std::wstring name;
    std::wstring saved;
    bool hadValue;
};

// Runs `commandLine` (UTF-8, program path first) with this process's
// environment and waits for it; false when it did not start or end.
bool Driver_RunProgramU(const std::string &commandLine, DWORD *exitCode);
