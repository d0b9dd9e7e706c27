// The hand-over of names of every script, as a user meets it: items with
// Cyrillic, Japanese, emoji, combining-accent and "ā"/"a" neighbour names
// dropped through the real handler onto a folder whose own name is outside
// the code page, a path past 260 characters, a temporary folder of such a
// name, and the command-line tools.  The installed copier is the recording
// stand-in: what is checked is the job file's exact bytes and the command
// line the copier gets.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drop_fixture.h"
#include "job_file.h"
#include "shell_drop.h"
#include "target_folder.h"
#include "ui_driver.h"
#include "wide_files.h"

namespace {

class UnicodeHandover : public DropHandlerFixture {
protected:
    // The names a Western system's code page cannot hold, and two that
    // its best-fit mapping would make one.
    void MakeUnicodeItems(void)
    {
        const char *names[] = {u8"Дом.txt", u8"日本語.txt", u8"smile \U0001F600.txt",
                               u8"cafe\u0301.txt", u8"\u0101.txt", "a.txt"};
        unsigned seed = 0;
        for (const char *name : names) {
            std::string path = scene.src + "\\" + name;
            Files_MakeFileU(path, Files_Pattern(50 + seed, seed));
            sources.push_back(path);
            seed++;
        }
        std::string folder = scene.src + "\\" + u8"Папка 📁";
        Files_MakeFolderU(folder);
        sources.push_back(folder);
    }

    std::string WindowsFolder(void)
    {
        wchar_t windows[MAX_PATH];
        UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
        EXPECT_TRUE(length > 0 && length < MAX_PATH);
        return Driver_Utf8(std::wstring(windows, length));
    }

    // The command line a drop must give the installed copier.
    std::string InstalledCommand(const std::string &jobName)
    {
        return WindowsFolder() + "\\tesrun.exe " + jobName.substr(9);
    }
};

// A stand-in for the shell's SHGetPathFromIDListEx: answers with `path`
// when the buffer it is given has room, and notes the size it was given.
std::wstring g_standinPath;
DWORD g_standinSizeGiven;
bool g_standinLeavesNoNul;

BOOL WINAPI StandIn_GetPathEx(LPCITEMIDLIST, PWSTR out, DWORD size, int flags)
{
    g_standinSizeGiven = size;
    if (flags != 0 || g_standinPath.size() >= size)
        return FALSE;
    if (g_standinLeavesNoNul) {
        for (DWORD i = 0; i < size; i++)
            out[i] = L'z';
        return TRUE;
    }
    lstrcpyW(out, g_standinPath.c_str());
    return TRUE;
}

// The target folder's item-identifier list made folder by folder, for a
// path that ILCreateFromPathW refuses; NULL when the shell gives none.
LPITEMIDLIST FolderListStepByStep(const std::wstring &root,
                                  const std::vector<std::wstring> &names)
{
    LPITEMIDLIST list = ILCreateFromPathW(root.c_str());
    IShellFolder *desktop = NULL;
    if (!list || FAILED(SHGetDesktopFolder(&desktop)))
        return list;
    for (const std::wstring &name : names) {
        IShellFolder *folder = NULL;
        LPITEMIDLIST child = NULL;
        ULONG eaten = 0;
        std::wstring writable = name;
        if (FAILED(desktop->BindToObject(list, NULL, IID_IShellFolder,
                                         (void **)&folder)) ||
            FAILED(folder->ParseDisplayName(NULL, NULL, &writable[0], &eaten,
                                            &child, NULL))) {
            if (folder)
                folder->Release();
            ILFree(list);
            list = NULL;
            break;
        }
        LPITEMIDLIST longer = ILCombine(list, child);
        ILFree(list);
        ILFree(child);
        folder->Release();
        list = longer;
        if (!list)
            break;
    }
    desktop->Release();
    return list;
}

}  // namespace

TEST_F(UnicodeHandover, DroppedNamesOfEveryScriptReachTheJobAsThemselves)
{
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    MakeUnicodeItems();
    std::string target = scene.work + u8"Цель 日本 \u0101";
    Files_MakeFolderU(target);

    std::vector<std::string> commands;
    for (UINT offset : {0u, 1u}) {
        std::vector<std::string> before = JobFiles();
        EXPECT_EQ(S_OK, DropFiles(sources, target, offset));
        EXPECT_FALSE(message.seen) << message.text;
        std::string job = NewJobFile(before);
        ASSERT_FALSE(job.empty()) << "no new job file, or more than one";
        std::string bytes;
        ASSERT_TRUE(Driver_ReadFileU(scene.temp + job, &bytes));
        EXPECT_EQ(Driver_UnicodeJobBytes(offset == 0 ? JOB_MODE_COPY
                                                     : JOB_MODE_MOVE,
                                         target, sources),
                  bytes);
        commands.push_back(InstalledCommand(job));
    }
    std::sort(commands.begin(), commands.end());
    EXPECT_EQ(commands, Driver_RecordedCommandLines(records, GetCurrentProcessId()));
}

TEST_F(UnicodeHandover, ADroppedPathPastMaxPathArrivesWhole)
{
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    std::string deep = scene.src;
    for (int level = 0; Driver_Wide(deep).size() < 300; level++)
        deep += "\\" + std::string(u8"глубокая папка ") + std::to_string(level);
    ASSERT_TRUE(Files_MakeFoldersU(deep));
    std::string file = deep + "\\" + u8"файл \U0001F600.txt";
    Files_MakeFileU(file, "deep");
    ASSERT_GT(Driver_Wide(file).size(), (size_t)MAX_PATH);

    // Wine's shell makes no item list for a path past MAX_PATH (measured:
    // ILCreateFromPathW and ParseDisplayName fail), so the drag comes from
    // a source of our own, as a drag from any program may.
    DriverDropData data;
    data.paths = {Driver_Wide(file), Driver_Wide(deep)};
    IShellExtInit *handler = NewHandler();
    ASSERT_TRUE(handler != NULL);
    EXPECT_EQ(S_OK, Drop(handler, scene.dst, &data, 1));
    handler->Release();
    EXPECT_FALSE(message.seen) << message.text;
    std::vector<std::string> jobs = JobFiles();
    ASSERT_EQ(1u, jobs.size());
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFileU(scene.temp + jobs[0], &bytes));
    EXPECT_EQ(Driver_UnicodeJobBytes(JOB_MODE_MOVE, scene.dst, {file, deep}),
              bytes);
    EXPECT_EQ(std::vector<std::string>{InstalledCommand(jobs[0])},
              Driver_RecordedCommandLines(records, GetCurrentProcessId()));
}

// The target's path comes from SHGetPathFromIDListEx with the record's
// whole buffer, so a path past MAX_PATH is taken whole; without it, from
// SHGetPathFromIDListW; never a cut or a half-written path.
TEST_F(UnicodeHandover, TheTargetPathIsAskedForWithTheWholeBuffer)
{
    LPITEMIDLIST list = ILCreateFromPathW(Driver_Wide(scene.dst).c_str());
    ASSERT_TRUE(list != NULL);
    std::vector<WCHAR> out(JOB_WIDE_PATH_MAX + 1);

    g_standinPath = L"C:\\" + std::wstring(400, L'\u0434');
    g_standinLeavesNoNul = false;
    EXPECT_TRUE(TesMenu_PathFromIDList(list, out.data(), (DWORD)out.size(),
                                       StandIn_GetPathEx));
    EXPECT_EQ(out.size(), g_standinSizeGiven);
    EXPECT_EQ(g_standinPath, std::wstring(out.data()));

    // Where the shell has no such call: the W call, for an ordinary path.
    EXPECT_TRUE(
        TesMenu_PathFromIDList(list, out.data(), (DWORD)out.size(), NULL));
    EXPECT_EQ(Driver_Wide(scene.dst), std::wstring(out.data()));

    // A failed call, or a path without its end: no target at all.
    g_standinPath = std::wstring(out.size(), L'x');
    EXPECT_FALSE(TesMenu_PathFromIDList(list, out.data(), (DWORD)out.size(),
                                        StandIn_GetPathEx));
    EXPECT_STREQ(L"", out.data());
    g_standinPath = L"C:\\";
    g_standinLeavesNoNul = true;
    EXPECT_FALSE(TesMenu_PathFromIDList(list, out.data(), (DWORD)out.size(),
                                        StandIn_GetPathEx));
    EXPECT_STREQ(L"", out.data());
    ILFree(list);
}

TEST_F(UnicodeHandover, ATargetPastMaxPathIsTakenWhereTheShellGivesIt)
{
    std::vector<std::wstring> names;
    std::string deep = scene.dst;
    for (int level = 0; Driver_Wide(deep).size() < 300; level++) {
        std::string name = u8"цель " + std::to_string(level) + " 日本";
        names.push_back(Driver_Wide(name));
        deep += "\\" + name;
    }
    ASSERT_TRUE(Files_MakeFoldersU(deep));
    ASSERT_GT(Driver_Wide(deep).size(), (size_t)MAX_PATH);
    LPITEMIDLIST list = FolderListStepByStep(Driver_Wide(scene.dst), names);
    if (!list)
        GTEST_SKIP() << "this shell makes no item list for a folder past "
                        "MAX_PATH (Wine's ParseDisplayName fails with "
                        "error 2), so no drop onto one can happen here";
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    MakeFiles(1);
    DriverDropData data;
    data.paths = {Driver_Wide(sources[0])};
    IShellExtInit *handler = NewHandler();
    ASSERT_TRUE(handler != NULL);
    Driver_StartMessageWatch(&message, "Error");
    EXPECT_EQ(S_OK, ShellDrop_DropOnList(handler, list, &data, 0, owner, NULL));
    Driver_EndMessageWatch(&message);
    handler->Release();
    ILFree(list);
    EXPECT_FALSE(message.seen) << message.text;
    std::vector<std::string> jobs = JobFiles();
    ASSERT_EQ(1u, jobs.size());
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFileU(scene.temp + jobs[0], &bytes));
    EXPECT_EQ(Driver_UnicodeJobBytes(JOB_MODE_COPY, deep, sources), bytes);
}

TEST_F(UnicodeHandover, TheTemporaryFolderMayBeNamedOutsideTheCodePage)
{
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    MakeFiles(2);
    // A user name outside the code page puts such a name into TMP and TEMP.
    std::string temp = scene.work + u8"Пользователь 日本 \U0001F600";
    Files_MakeFolderU(temp);
    DRIVER_ENV_SCOPE tmp(L"TMP", temp);
    DRIVER_ENV_SCOPE temp2(L"TEMP", temp);
    EXPECT_EQ(S_OK, DropFiles(sources, scene.dst, 0));
    EXPECT_FALSE(message.seen) << message.text;
    std::vector<std::string> jobs = Driver_JobFilesU(temp);
    ASSERT_EQ(1u, jobs.size());
    EXPECT_TRUE(JobFiles().empty()) << "written to another folder";
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFileU(temp + "\\" + jobs[0], &bytes));
    EXPECT_EQ(Driver_UnicodeJobBytes(JOB_MODE_COPY, scene.dst, sources), bytes);
    EXPECT_EQ(std::vector<std::string>{InstalledCommand(jobs[0])},
              Driver_RecordedCommandLines(records, GetCurrentProcessId()));
}

TEST_F(UnicodeHandover, ANameUtf8CannotCarryStopsTheDropAndLeavesNoJob)
{
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    MakeFiles(1);
    // A file system may hold an unpaired surrogate in a name; the job can
    // only refuse it, never store another name in its place.
    DriverDropData data;
    data.paths = {Driver_Wide(sources[0]),
                  Driver_Wide(scene.src + "\\x") + (wchar_t)0xD800 + L"y"};
    IShellExtInit *handler = NewHandler();
    ASSERT_TRUE(handler != NULL);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION),
              Drop(handler, scene.dst, &data, 0));
    handler->Release();
    EXPECT_NE(std::string::npos, message.text.find("could not be written"))
        << message.text;
    EXPECT_TRUE(JobFiles().empty());
    EXPECT_TRUE(Driver_RecordedLaunches(records, GetCurrentProcessId()).empty());
}

TEST_F(UnicodeHandover, TheToolsTakeUnicodeArguments)
{
    MakeUnicodeItems();
    std::string target = scene.work + u8"Цель \U0001F600";
    Files_MakeFolderU(target);
    std::string temp = scene.work + u8"Временная";
    Files_MakeFolderU(temp);
    DRIVER_ENV_SCOPE tmp(L"TMP", temp);
    DRIVER_ENV_SCOPE recordsScope(L"TES_STANDIN_RECORDS", records);
    std::string quotedSources;
    for (const std::string &source : sources)
        quotedSources += " \"" + source + "\"";

    // tessubmit, started on a copier in a folder of such a name.
    std::string copierFolder = scene.work + u8"Копир";
    Files_MakeFolderU(copierFolder);
    ASSERT_TRUE(CopyFileW(
        Driver_Wide(Driver_BinFolder() + "\\tesrun_standin.exe").c_str(),
        Driver_Wide(copierFolder + "\\tesrun.exe").c_str(), FALSE));
    DWORD exitCode = 99;
    ASSERT_TRUE(Driver_RunProgramU("\"" + Driver_BinFolder() +
                                       "\\tessubmit.exe\" /move /copier \"" +
                                       copierFolder + "\" \"" + target + "\"" +
                                       quotedSources,
                                   &exitCode));
    EXPECT_EQ(0u, exitCode);
    std::vector<std::string> jobs = Driver_JobFilesU(temp);
    ASSERT_EQ(1u, jobs.size());
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFileU(temp + "\\" + jobs[0], &bytes));
    EXPECT_EQ(Driver_UnicodeJobBytes(JOB_MODE_MOVE, target, sources), bytes);
    ASSERT_TRUE(Driver_WaitForLaunchRecords(records, 1));
    EXPECT_EQ(std::vector<std::string>{copierFolder + "\\tesrun.exe " +
                                       jobs[0].substr(9)},
              Driver_RecordedCommandLines(records, GetCurrentProcessId()));

    // tesdrop, through the handler loaded by file, onto the installed
    // (recording) copier.
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    std::vector<std::string> before = Driver_JobFilesU(temp);
    ASSERT_TRUE(Driver_RunProgramU("\"" + Driver_BinFolder() +
                                       "\\tesdrop.exe\" /dll \"" +
                                       Driver_BinFolder() + "\\teshook.dll\" \"" +
                                       target + "\"" + quotedSources,
                                   &exitCode));
    EXPECT_EQ(0u, exitCode);
    std::vector<std::string> after = Driver_JobFilesU(temp);
    ASSERT_EQ(2u, after.size());
    std::string dropped =
        after[0] == before[0] ? after[1] : after[0];
    ASSERT_TRUE(Driver_ReadFileU(temp + "\\" + dropped, &bytes));
    EXPECT_EQ(Driver_UnicodeJobBytes(JOB_MODE_COPY, target, sources), bytes);
    ASSERT_TRUE(Driver_WaitForLaunchRecords(records, 2));
    std::vector<std::string> commands =
        Driver_RecordedCommandLines(records, GetCurrentProcessId());
    EXPECT_NE(commands.end(), std::find(commands.begin(), commands.end(),
                                        InstalledCommand(dropped)));
}
