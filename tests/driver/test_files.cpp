// File helpers shared by the Wine tests: making sources with known bytes
// and times, reading targets back, listings and each test's folders.
#include "test_files.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "ui_driver.h"

std::string Files_Join(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

std::string Files_Lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return text;
}

std::string Files_Pattern(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned value = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; i++) {
        value = value * 1103515245u + 12345u;
        bytes[i] = (char)(value >> 16);
    }
    return bytes;
}

FILETIME Files_SeedTime(unsigned seed)
{
    SYSTEMTIME st = {};
    st.wYear = (WORD)(1999 + seed % 20);
    st.wMonth = (WORD)(1 + seed % 12);
    st.wDay = (WORD)(1 + seed % 28);
    st.wHour = (WORD)(seed % 24);
    st.wMinute = (WORD)(seed * 7 % 60);
    st.wSecond = (WORD)(seed * 13 % 60);
    FILETIME time = {};
    SystemTimeToFileTime(&st, &time);
    return time;
}

FILETIME Files_LocalTime(WORD year, WORD month, WORD day, WORD hour,
                         WORD minute, WORD second)
{
    SYSTEMTIME broken = {};
    broken.wYear = year;
    broken.wMonth = month;
    broken.wDay = day;
    broken.wHour = hour;
    broken.wMinute = minute;
    broken.wSecond = second;
    FILETIME local = {}, utc = {};
    SystemTimeToFileTime(&broken, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

bool Files_SetWriteTime(const std::string &path, const FILETIME &time)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL done = SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
    return done != FALSE;
}

void Files_MakeFile(const std::string &path, const std::string &content,
                    const FILETIME &time)
{
    ASSERT_TRUE(Driver_WriteFile(path, content)) << path;
    ASSERT_TRUE(Files_SetWriteTime(path, time)) << path;
}

void Files_MakeFolder(const std::string &path)
{
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL)) << path;
}

::testing::AssertionResult Files_HasBytes(const std::string &path,
                                          const std::string &expected)
{
    std::string content;
    if (!Driver_ReadFile(path, &content))
        return ::testing::AssertionFailure() << path << " cannot be read";
    if (content == expected)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < content.size() && at < expected.size() &&
           content[at] == expected[at])
        at++;
    return ::testing::AssertionFailure()
           << path << ": " << content.size() << " bytes, expected "
           << expected.size() << "; first difference at offset " << at;
}

::testing::AssertionResult Files_HasWriteTime(const std::string &path,
                                              const FILETIME &time)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return ::testing::AssertionFailure() << path << " is not there";
    if (data.ftLastWriteTime.dwLowDateTime == time.dwLowDateTime &&
        data.ftLastWriteTime.dwHighDateTime == time.dwHighDateTime)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << path << ": last written at "
           << ((ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 |
               data.ftLastWriteTime.dwLowDateTime)
           << ", expected "
           << ((ULONGLONG)time.dwHighDateTime << 32 | time.dwLowDateTime);
}

LONGLONG Files_Size(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

bool Files_WaitForSize(const std::string &path, LONGLONG bytes,
                       DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (Files_Size(path) < bytes) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

std::vector<std::string> Files_List(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(Files_Join(folder, "*").c_str(), &found);
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

std::wstring Files_Wide(const std::string &path, bool longForm)
{
    std::wstring wide(path.size() + 1, L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                     (int)wide.size());
    wide.resize(length > 0 ? (size_t)length - 1 : 0);
    return longForm && !wide.empty() ? L"\\\\?\\" + wide : wide;
}

void Files_MakeWideFile(const std::string &folder, const wchar_t *name,
                        const std::string &content)
{
    std::wstring path = Files_Wide(folder) + L"\\" + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << folder;
    DWORD wrote = 0;
    WriteFile(file, content.data(), (DWORD)content.size(), &wrote, NULL);
    CloseHandle(file);
    ASSERT_EQ(content.size(), (size_t)wrote) << folder;
}

bool Files_WideExists(const std::string &folder, const wchar_t *name)
{
    std::wstring path = Files_Wide(folder) + L"\\" + name;
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wide calls with the long form, so that names the ANSI code page cannot
// hold and paths beyond MAX_PATH (left on purpose by some tests) go too.
// Deletes what the Win32 calls can: never through a link (a folder link
// is not entered, so a loop ends and what lies behind stays), and names
// they can't reach (ending in a dot), pipes and the links themselves are
// left for the host.  Returns true when something was left.
static bool Files_EmptyFolderW(const std::wstring &folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool left = false;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            left = true;
            continue;
        }
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (Files_EmptyFolderW(path))
                left = true;
            if (!RemoveDirectoryW(path.c_str()))
                left = true;
        } else if (!DeleteFileW(path.c_str())) {
            left = true;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return left;
}

void Files_EmptyFolder(const std::string &folder)
{
    std::string trimmed = folder;
    while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    if (!trimmed.empty() && Files_EmptyFolderW(Files_Wide(trimmed, true)))
        Driver_RunUnix("find '" + Driver_UnixPath(trimmed) +
                       "' -mindepth 1 -delete");
}

void Files_RemoveTree(const std::string &folder)
{
    Files_EmptyFolder(folder);
    std::string trimmed = folder;
    while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    RemoveDirectoryW(Files_Wide(trimmed, true).c_str());
}

std::string Files_OnOtherDrive(const std::string &path)
{
    std::string other = path;
    if (other.size() >= 2 && other[1] == ':' && isalpha((unsigned char)other[0]))
        other[0] = (char)(other[0] ^ 0x20);
    return other;
}

static void Files_SnapshotInto(const std::string &root,
                               const std::string &relative, FILES_TREE *tree)
{
    std::string folder = relative.empty() ? root : Files_Join(root, relative);
    for (const std::string &name : Files_List(folder)) {
        FILES_ENTRY entry = {};
        entry.relative = relative.empty() ? name : relative + "\\" + name;
        std::string path = Files_Join(root, entry.relative);
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        entry.attributes = data.dwFileAttributes;
        entry.written = data.ftLastWriteTime;
        entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!entry.folder)
            Driver_ReadFile(path, &entry.bytes);
        tree->push_back(entry);
        if (entry.folder)
            Files_SnapshotInto(root, entry.relative, tree);
    }
}

FILES_TREE Files_Snapshot(const std::string &root)
{
    FILES_TREE tree;
    Files_SnapshotInto(root, "", &tree);
    return tree;
}

::testing::AssertionResult Files_HasTree(const std::string &root,
                                         const FILES_TREE &tree)
{
    FILES_TREE found = Files_Snapshot(root);
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    int differences = 0;
    auto differ = [&](const std::string &relative, const std::string &what) {
        if (differences++ == 0)
            result = ::testing::AssertionFailure() << root << ":";
        if (differences <= 10)
            result << "\n  " << relative << ": " << what;
    };
    std::map<std::string, const FILES_ENTRY *> have;
    for (const FILES_ENTRY &entry : found)
        have[entry.relative] = &entry;
    for (const FILES_ENTRY &want : tree) {
        auto match = have.find(want.relative);
        if (match == have.end()) {
            differ(want.relative, "missing");
            continue;
        }
        const FILES_ENTRY &got = *match->second;
        have.erase(match);
        if (want.folder != got.folder) {
            differ(want.relative, want.folder ? "not a folder" : "a folder");
        } else if (!want.folder) {
            ::testing::AssertionResult bytes =
                Files_HasBytes(Files_Join(root, want.relative), want.bytes);
            if (!bytes)
                differ(want.relative, bytes.message());
            if (CompareFileTime(&want.written, &got.written) != 0)
                differ(want.relative, "another last-write time");
            if (want.attributes != got.attributes)
                differ(want.relative,
                       "attributes " + std::to_string(got.attributes) +
                           ", expected " + std::to_string(want.attributes));
        }
    }
    for (const auto &extra : have)
        differ(extra.first, "one too many");
    if (differences > 10)
        result << "\n  and " << differences - 10 << " more";
    return result;
}

const FILES_ENTRY &Files_Entry(const FILES_TREE &tree,
                               const std::string &relative)
{
    for (const FILES_ENTRY &entry : tree)
        if (entry.relative == relative)
            return entry;
    ADD_FAILURE() << relative << " is not in the tree";
    static const FILES_ENTRY none = {};
    return none;
}

const char *Files_TestName(void)
{
    const ::testing::TestInfo *test =
        ::testing::UnitTest::GetInstance()->current_test_info();
    return test ? test->name() : "NoTest";
}

bool Files_NewScene(const char *testName, FILES_SCENE *scene)
{
    scene->temp = Driver_NewTempFolder(testName);
    scene->work = Driver_NewWorkFolder(testName);
    scene->src = Files_Join(scene->work, "src");
    scene->dst = Files_Join(scene->work, "dst");
    return !scene->temp.empty() && !scene->work.empty() &&
           CreateDirectoryA(scene->src.c_str(), NULL) &&
           CreateDirectoryA(scene->dst.c_str(), NULL);
}

size_t Files_UncomparedOffset(size_t keptSize)
{
    const size_t chunk = 1000000, samples = 16, sample = 4096;
    for (size_t offset = chunk + 1; offset + chunk < keptSize; offset += 997) {
        bool compared = false;
        for (size_t i = 1; i <= samples; i++) {
            size_t start = keptSize / (samples + 1) * i;
            if (offset >= start && offset < start + sample)
                compared = true;
        }
        if (!compared)
            return offset;
    }
    return 0;
}

bool Files_FlipByte(const std::string &path, size_t offset)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME written;
    unsigned char byte = 0;
    DWORD done = 0;
    bool ok = GetFileTime(file, NULL, NULL, &written) &&
              SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN) == offset &&
              ReadFile(file, &byte, 1, &done, NULL) && done == 1;
    byte = (unsigned char)~byte;
    ok = ok && SetFilePointer(file, (LONG)offset, NULL, FILE_BEGIN) == offset &&
         WriteFile(file, &byte, 1, &done, NULL) && done == 1 &&
         SetFileTime(file, NULL, NULL, &written);
    return CloseHandle(file) && ok;
}
