// Every name the file system holds, through the whole chain as a user
// meets it: a folder of Cyrillic, Japanese, emoji, combining-accent and
// "ā"/"a" neighbour names, a name ending in a dot and a path past 260
// characters, dropped through the installed handler onto a target named
// outside the code page; copied, then moved to another drive letter; a
// Unicode file's copy killed and relaunched; and a job written the old
// ANSI way still run.
#include "test_engine_common.h"

#include "drive_letters.h"
#include "resource_ids.h"
#include "setup_driver.h"
#include "wide_files.h"

namespace {

// UTF-8 names, as the tests keep them.
const char *const c_names[] = {
    u8"Привет мир.txt",
    u8"日本語のファイル.txt",
    u8"\U0001F600 smile.txt",                 // a surrogate pair in UTF-16
    u8"e\u0301te\u0301.txt",                  // combining accents
    u8"\u00e9t\u00e9.txt",                    // the same, precomposed
    u8"\u0101.txt",                           // "ā", best fit of "a"
    u8"a.txt",
};
const char c_folder[] = u8"Уникод ā";
const char c_target[] = u8"Цель ā 日本";
const char c_deepStep[] = u8"папка уровня";

// Two trees hold the same names (by their UTF-16 units) and bytes.
void Unicode_ExpectSameTree(const std::string &source, const std::string &target)
{
    std::vector<std::string> names = Files_ListU(source);
    ASSERT_EQ(names, Files_ListU(target)) << target;
    for (const std::string &name : names) {
        std::string from = source + "\\" + name, to = target + "\\" + name;
        std::wstring wide = L"\\\\?\\" + Driver_Wide(from);
        if (GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            Unicode_ExpectSameTree(from, to);
            continue;
        }
        std::string want, got;
        ASSERT_TRUE(Driver_ReadFileU(from, &want)) << from;
        ASSERT_TRUE(Driver_ReadFileU(to, &got)) << to;
        EXPECT_TRUE(want == got) << to;
    }
}

class UnicodeChain : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        SetupDriver_Clean();
        ASSERT_EQ(0, SetupDriver_RunSilent("/install"));
    }
    void TearDown() override { SetupDriver_Clean(); }

    // The tree to drop, below src; returns its path.
    std::string MakeTree()
    {
        std::string tree = src + "\\" + c_folder;
        Files_MakeFolderU(tree);
        for (unsigned i = 0; i < sizeof c_names / sizeof c_names[0]; i++)
            Files_MakeFileU(tree + "\\" + c_names[i],
                            Files_Pattern(1000 + 7000 * i, i + 1));
        // Made by the host: no Windows path reaches such a name.
        EXPECT_TRUE(Driver_RunUnix("printf dotted > '" +
                                   Driver_UnixPath(Files_Join(src, "")) + "'" +
                                   c_folder + "'/end.'"));
        std::string deep = tree + "\\" + u8"глубоко";
        for (int level = 0; level < 24; level++)
            deep += std::string("\\") + c_deepStep;
        EXPECT_GT(Driver_Wide(deep).size(), 300u);
        EXPECT_TRUE(Files_MakeFoldersU(deep));
        Files_MakeFileU(deep + "\\" + u8"дно.txt", Files_Pattern(5000, 9));
        return tree;
    }

    // tesdrop through the registered handler; the job's own copier runs it
    // to its end.
    void Drop(const std::string &target, const std::string &item, bool move)
    {
        DRIVER_ENV_SCOPE tmp(L"TMP", temp), tempVariable(L"TEMP", temp);
        DWORD exitCode = 1;
        ASSERT_TRUE(Driver_RunProgramU("\"" + Driver_BinFolder() +
                                           "\\tesdrop.exe\" " +
                                           (move ? "/move " : "") + "\"" +
                                           target + "\" \"" + item + "\"",
                                       &exitCode));
        ASSERT_EQ(0u, exitCode);
        DWORD start = GetTickCount();
        while (!Driver_JobFilesU(temp).empty()) {
            ASSERT_LT(GetTickCount() - start, 60000u)
                << "the copier did not finish the job";
            Sleep(20);
        }
    }
};

TEST_F(UnicodeChain, EveryNameArrivesByteExactCopiedAndMoved)
{
    std::string tree = MakeTree();
    std::string target = dst + "\\" + c_target;
    Files_MakeFolderU(target);

    Drop(target, tree, false);
    std::string copy = target + "\\" + c_folder;
    Unicode_ExpectSameTree(tree, copy);

    // Moved on to another drive letter: copied and deleted, name by name.
    DRIVER_DRIVE drive;
    std::string other = Files_Join(work, "other");
    Files_MakeFolder(other);
    std::string root = Driver_MapDrive(&drive, 'R', other);
    ASSERT_FALSE(root.empty());
    Drop(root.substr(0, 2), copy, true);
    Unicode_ExpectSameTree(tree, root + c_folder);
    EXPECT_FALSE(Driver_FileExistsU(copy)) << "the moved folder stayed";
}

// An offset of a kept part of `size` bytes that a continue does not compare
// (see CompareFiles_KeptPart: the first and last chunk of 1,000,000 bytes
// and sixteen samples of 4096 bytes between them).
size_t Unicode_UncomparedOffset(size_t size)
{
    for (size_t offset = 1000000 + 1; offset + 1000000 < size; offset += 997) {
        bool sampled = false;
        for (size_t i = 1; i <= 16; i++) {
            size_t start = size / 17 * i;
            if (offset >= start && offset < start + 4096)
                sampled = true;
        }
        if (!sampled)
            return offset;
    }
    return 0;
}

TEST_F(UnicodeChain, KilledCopyOfAUnicodeFileIsContinuedOnRelaunch)
{
    std::string name = src + "\\" + u8"Большой 大きい \U0001F4BE.bin";
    std::string bytes = Files_Pattern(6000000, 5);
    Files_MakeFileU(name, bytes);
    std::string copy = dst + "\\" + u8"Большой 大きい \U0001F4BE.bin";
    std::string job = Files_Join(temp, "tesqueue.240");
    ASSERT_TRUE(Driver_WriteFile(job, Driver_UnicodeJobBytes(1, dst, {name})));

    // Started paused, slowed to 1000 KB/Sec, resumed, and killed once a
    // good part of the file is written.
    {
        DRIVER_RUN first;
        ASSERT_TRUE(Driver_StartCopier(temp, "240R", &first.copier));
        HWND window = Driver_WaitForProgressWindow(&first.copier);
        ASSERT_TRUE(window != NULL);
        ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
        Driver_SetSlider(window, IDC_PROGRESS_SLIDER, 10);
        Driver_Click(window, IDC_PROGRESS_PAUSE);
        // The size from the listing: the copier holds the file open.
        DWORD start = GetTickCount();
        WIN32_FILE_ATTRIBUTE_DATA seen = {};
        while (!GetFileAttributesExW(Driver_Wide(copy).c_str(),
                                     GetFileExInfoStandard, &seen) ||
               seen.nFileSizeLow < 3000000) {
            ASSERT_LT(GetTickCount() - start, 60000u);
            Sleep(20);
        }
        Driver_Kill(&first.copier);
    }
    std::string kept;
    ASSERT_TRUE(Driver_ReadFileU(copy, &kept));
    ASSERT_LT(kept.size(), bytes.size()) << "the copy ended before the kill";
    ASSERT_TRUE(Driver_FileExistsU(job)) << "a killed job keeps its file";
    // One byte a continue does not compare differs on purpose: a continue
    // keeps it, a copy from the start would not.
    size_t mark = Unicode_UncomparedOffset(kept.size());
    ASSERT_NE(0u, mark);
    kept[mark] = (char)~kept[mark];
    HANDLE file = CreateFileW(Driver_Wide(copy).c_str(), GENERIC_WRITE, 0, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    FILETIME written;
    GetFileTime(file, NULL, NULL, &written);
    SetFilePointer(file, (LONG)mark, NULL, FILE_BEGIN);
    DWORD wrote = 0;
    WriteFile(file, &kept[mark], 1, &wrote, NULL);
    SetFileTime(file, NULL, NULL, &written);
    CloseHandle(file);

    // The relaunch continues it; under Wine a kill inside a write may leave
    // the copy with a fresh time, and the question then offers "&Copy rest".
    DRIVER_RUN relaunch;
    ASSERT_TRUE(Driver_StartCopier(temp, "240R", &relaunch.copier));
    HWND window = Driver_WaitForProgressWindow(&relaunch.copier);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    while (!Driver_WaitForExit(&relaunch.copier, 20)) {
        if (!Driver_HasDialog(&relaunch.copier, "Confirm File Replace"))
            continue;
        HWND question =
            Driver_WaitForDialog(&relaunch.copier, "Confirm File Replace");
        ASSERT_TRUE(question != NULL);
        ASSERT_TRUE(Driver_IsItemEnabled(question, IDC_REPLACE_COPYREST));
        Driver_Click(question, IDC_REPLACE_COPYREST);
        ASSERT_TRUE(Driver_WaitForWindowGone(question));
    }
    std::string got;
    ASSERT_TRUE(Driver_ReadFileU(copy, &got));
    EXPECT_TRUE(got == kept + bytes.substr(kept.size()))
        << "not continued from the kept part";
    EXPECT_FALSE(Driver_FileExistsU(job));
}

TEST_F(UnicodeChain, JobWrittenTheOldAnsiWayStillRuns)
{
    // "café.txt" in code page 1252, in a job without the Unicode mark.
    Files_MakeFileU(src + "\\" + u8"café.txt", "old job");
    Engine_RunJob(temp, 241, JOB_MODE_COPY, dst, {src + "\\caf\xE9.txt"});
    std::string got;
    ASSERT_TRUE(Driver_ReadFileU(dst + "\\" + u8"café.txt", &got));
    EXPECT_EQ("old job", got);
}

}  // namespace
