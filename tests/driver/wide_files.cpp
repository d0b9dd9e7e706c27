// Files and processes with names of any script, for the Unicode tests.
#include "wide_files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ui_driver.h"

std::wstring Driver_Wide(const std::string &utf8)
{
    if (utf8.empty())
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                    (int)utf8.size(), NULL, 0);
    std::wstring wide(units > 0 ? units : 0, L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                            (int)utf8.size(), &wide[0], units);
    return wide;
}

std::string Driver_Utf8(const std::wstring &wide)
{
    if (wide.empty())
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(),
                                    NULL, 0, NULL, NULL);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(),
                            &utf8[0], bytes, NULL, NULL);
    return utf8;
}

// A path the W functions take at any length, and exactly as named: a
// drive path in the long form, so a name ending in a dot keeps it.
static std::wstring Driver_LongForm(const std::string &path)
{
    std::wstring wide = Driver_Wide(path);
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    return wide;
}

void Files_MakeFileU(const std::string &path, const std::string &content)
{
    HANDLE file = CreateFileW(Driver_LongForm(path).c_str(), GENERIC_WRITE, 0,
                              NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path << ": " << GetLastError();
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), (DWORD)content.size(), &written,
                        NULL);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == content.size()) << path;
}

void Files_MakeFolderU(const std::string &path)
{
    ASSERT_TRUE(CreateDirectoryW(Driver_LongForm(path).c_str(), NULL))
        << path << ": " << GetLastError();
}

bool Files_MakeFoldersU(const std::string &path)
{
    std::wstring wide = Driver_Wide(path);
    for (size_t i = 3; i <= wide.size(); i++) {
        if (i < wide.size() && wide[i] != L'\\')
            continue;
        std::wstring part = wide.substr(0, i);
        std::wstring longPart = L"\\\\?\\" + part;
        if (!CreateDirectoryW(longPart.c_str(), NULL) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

bool Driver_ReadFileU(const std::string &path, std::string *content)
{
    return Driver_ReadAndClose(
        CreateFileW(Driver_LongForm(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL),
        content);
}

bool Driver_FileExistsU(const std::string &path)
{
    return GetFileAttributesW(Driver_LongForm(path).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Files_ListU(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\')
        pattern += "\\";
    HANDLE search =
        FindFirstFileW(Driver_LongForm(pattern + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(Driver_Utf8(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Driver_JobFilesU(const std::string &tempFolder)
{
    std::vector<std::string> jobs;
    for (const std::string &name : Files_ListU(tempFolder))
        if (name.compare(0, 9, "tesqueue.") == 0)
            jobs.push_back(name);
    return jobs;
}

std::string Driver_UnicodeJobBytes(int mode, const std::string &target,
                                   const std::vector<std::string> &sources)
{
    std::string bytes = "TesUTF8";
    bytes.push_back((char)mode);
    uint32_t count = (uint32_t)sources.size();
    for (int i = 0; i < 4; i++)
        bytes.push_back((char)((count >> (8 * i)) & 0xFF));
    bytes.append(target.c_str(), target.size() + 1);
    for (const std::string &source : sources)
        bytes.append(source.c_str(), source.size() + 1);
    return bytes;
}

DRIVER_ENV_SCOPE::DRIVER_ENV_SCOPE(const wchar_t *variable,
                                   const std::string &value)
    : name(variable), hadValue(false)
{
    wchar_t old[32768];
    DWORD length = GetEnvironmentVariableW(variable, old, 32768);
    if (length > 0 && length < 32768) {
        hadValue = true;
        saved = old;
    }
    SetEnvironmentVariableW(variable, Driver_Wide(value).c_str());
}

DRIVER_ENV_SCOPE::~DRIVER_ENV_SCOPE()
{
    SetEnvironmentVariableW(name.c_str(), hadValue ? saved.c_str() : NULL);
}

bool Driver_RunProgramU(const std::string &commandLine, DWORD *exitCode)
{
    std::wstring command = Driver_Wide(commandLine);
    std::vector<wchar_t> writable(command.begin(), command.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, writable.data(), NULL, NULL, FALSE, 0, NULL,
                        NULL, &startup, &process))
        return false;
    bool ended = WaitForSingleObject(process.hProcess, DRIVER_TIMEOUT_MS) ==
                 WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.hProcess, 99);
    if (exitCode && !GetExitCodeProcess(process.hProcess, exitCode))
        *exitCode = (DWORD)-1;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return ended;
}
