// Existing target files, end to end: the real tesrun.exe copies onto
// targets that already exist, and the test answers "Confirm File Replace"
// the way a user would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"
#include "ui_driver.h"

static const char c_replaceTitle[] = "Confirm File Replace";
static const DWORD c_jobTimeoutMs = 60000;

static std::string Join(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

// Bytes that differ from one position to the next, so that a misplaced
// chunk shows as a mismatch.
static std::string Pattern(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned value = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; i++) {
        value = value * 1103515245u + 12345u;
        bytes[i] = (char)(value >> 16);
    }
    return bytes;
}

// A local wall-clock time as the file system's UTC file time.
static FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour,
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

static bool SetWriteTime(const std::string &path, const FILETIME &time)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                              NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL done = SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
    return done != FALSE;
}

static FILETIME GetWriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

static bool SameTime(const FILETIME &a, const FILETIME &b)
{
    return a.dwLowDateTime == b.dwLowDateTime &&
           a.dwHighDateTime == b.dwHighDateTime;
}

// Writes a file and gives it a last-write time.
static void MakeFile(const std::string &path, const std::string &content,
                     const FILETIME &time)
{
    ASSERT_TRUE(Driver_WriteFile(path, content)) << path;
    ASSERT_TRUE(SetWriteTime(path, time)) << path;
}

// Compares a file with the bytes expected; a mismatch is described by
// sizes and first differing offset, not by megabytes of bytes.
static ::testing::AssertionResult HasBytes(const std::string &path,
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

// The time the sources carry, and another one for targets that are not
// copies of them.
static FILETIME SourceTime(void) { return LocalTime(1998, 3, 5, 9, 7, 3); }
static FILETIME OtherTime(void) { return LocalTime(2001, 11, 23, 14, 5, 9); }

// One test's folders: a temporary folder for the job file, sources, target.
struct SCENE {
    std::string temp;
    std::string source;
    std::string target;
};

static SCENE NewScene(const char *name)
{
    SCENE scene;
    scene.temp = Driver_NewTempFolder(name);
    std::string work = Driver_NewWorkFolder(name);
    scene.source = Join(work, "src");
    scene.target = Join(work, "dst");
    CreateDirectoryA(scene.source.c_str(), NULL);
    CreateDirectoryA(scene.target.c_str(), NULL);
    return scene;
}

static void StartJob(const SCENE &scene, int mode,
                     const std::vector<std::string> &sources,
                     DRIVER_COPIER *copier)
{
    Driver_WriteJob(scene.temp, 100, mode, scene.target, sources);
    ASSERT_TRUE(Driver_StartCopier(scene.temp, "100", copier));
}

// Waits for the copier to end by itself; fails if it asks the replace
// question meanwhile (the dialog is then answered "&No" so the job ends).
static void FinishWithoutQuestion(DRIVER_COPIER *copier)
{
    DWORD start = GetTickCount();
    bool asked = false;
    while (WaitForSingleObject(copier->process.hProcess, 20) == WAIT_TIMEOUT) {
        if (Driver_HasDialog(copier, c_replaceTitle)) {
            asked = true;
            HWND dialog = Driver_WaitForDialog(copier, c_replaceTitle, 1000);
            if (dialog)
                Driver_Click(dialog, IDC_REPLACE_NO);
        }
        if (GetTickCount() - start > c_jobTimeoutMs) {
            Driver_Kill(copier);
            FAIL() << "the copier did not end";
        }
    }
    EXPECT_FALSE(asked) << "the replace question was asked";
    Driver_Kill(copier);
}

// Presses a button of the replace dialog and waits until the dialog is gone.
static void Answer(HWND dialog, int button)
{
    Driver_Click(dialog, button);
    DWORD start = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - start < DRIVER_TIMEOUT_MS)
        Sleep(10);
    EXPECT_FALSE(IsWindow(dialog)) << "the dialog stayed open";
}

static HWND WaitForQuestion(DRIVER_COPIER *copier)
{
    HWND dialog = Driver_WaitForDialog(copier, c_replaceTitle);
    EXPECT_TRUE(dialog != NULL) << "no replace question";
    return dialog;
}

// A path for the same file on another drive letter (Wine's Z: is the
// root of the Unix file system), so that a move is done as copy and delete
// instead of one rename.  Empty when it cannot be formed.
static std::string OtherDrivePath(const std::string &path)
{
    typedef char *(__cdecl * UNIX_NAME_FN)(const WCHAR *);
    UNIX_NAME_FN unixName = (UNIX_NAME_FN)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!unixName)
        return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char *name = unixName(wide);
    if (!name)
        return "";
    std::string other = std::string("Z:") + name;
    HeapFree(GetProcessHeap(), 0, name);
    for (char &c : other)
        if (c == '/')
            c = '\\';
    return Driver_FileExists(other) ? other : "";
}

TEST(ExistingTarget, JobRunTwiceCopiesNothingTheSecondTime)
{
    SCENE scene = NewScene("twice");
    std::string box = Join(scene.source, "Box");
    CreateDirectoryA(box.c_str(), NULL);
    CreateDirectoryA(Join(box, "inner").c_str(), NULL);
    MakeFile(Join(box, "one.bin"), Pattern(70000, 1), SourceTime());
    MakeFile(Join(box, "inner\\two.bin"), Pattern(1500, 2), OtherTime());
    MakeFile(Join(box, "empty.bin"), "", SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {box}, &copier);
    FinishWithoutQuestion(&copier);
    std::string copy = Join(scene.target, "Box");
    ASSERT_TRUE(HasBytes(Join(copy, "one.bin"), Pattern(70000, 1)));
    ASSERT_TRUE(HasBytes(Join(copy, "inner\\two.bin"), Pattern(1500, 2)));
    ASSERT_TRUE(Driver_FileExists(Join(copy, "empty.bin")));

    // Mark the copies without touching size or time: a second run that
    // wrote anything would undo the mark.
    std::string marked = Pattern(70000, 9);
    MakeFile(Join(copy, "one.bin"), marked, SourceTime());
    std::string markedInner = Pattern(1500, 8);
    MakeFile(Join(copy, "inner\\two.bin"), markedInner, OtherTime());

    StartJob(scene, 1, {box}, &copier);
    FinishWithoutQuestion(&copier);
    EXPECT_TRUE(HasBytes(Join(copy, "one.bin"), marked));
    EXPECT_TRUE(HasBytes(Join(copy, "inner\\two.bin"), markedInner));
}

TEST(ExistingTarget, EmptyTargetIsWrittenWithoutAsking)
{
    SCENE scene = NewScene("empty");
    std::string source = Join(scene.source, "data.bin");
    MakeFile(source, Pattern(3000, 3), SourceTime());
    MakeFile(Join(scene.target, "data.bin"), "", OtherTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    FinishWithoutQuestion(&copier);
    EXPECT_TRUE(HasBytes(Join(scene.target, "data.bin"), Pattern(3000, 3)));
    EXPECT_TRUE(SameTime(SourceTime(), GetWriteTime(Join(scene.target, "data.bin"))));
}

TEST(ExistingTarget, SameSizeOtherTimeAsksWithoutCopyRestAndNoKeepsTheTarget)
{
    SCENE scene = NewScene("samesize");
    std::string source = Join(scene.source, "Mixed Case.TXT");
    MakeFile(source, Pattern(1234567, 4), SourceTime());
    std::string target = Join(scene.target, "Mixed Case.TXT");
    MakeFile(target, Pattern(1234567, 5), OtherTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    HWND dialog = WaitForQuestion(&copier);
    ASSERT_TRUE(dialog);
    EXPECT_EQ("'mixed case.txt'", Driver_GetItemText(dialog, IDC_REPLACE_NAME));
    EXPECT_EQ("1.234.567 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_EXISTSIZE));
    EXPECT_EQ("1.234.567 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_SOURCESIZE));
    EXPECT_EQ("modified on November 23, 2001, 14:05:09",
              Driver_GetItemText(dialog, IDC_REPLACE_EXISTDATE));
    EXPECT_EQ("modified on March 05, 1998, 9:07:03",
              Driver_GetItemText(dialog, IDC_REPLACE_SOURCEDATE));
    EXPECT_FALSE(Driver_IsItemEnabled(dialog, IDC_REPLACE_COPYREST));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_REPLACE_YES));

    // Escape, the close command and a "&Copy rest" sent although disabled
    // are no answers: had any of them ended the dialog, the target would
    // have been replaced or appended to instead of kept by "&No".
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    SendMessageA(dialog, WM_COMMAND,
                 MAKEWPARAM(IDC_REPLACE_COPYREST, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDC_REPLACE_COPYREST));

    Answer(dialog, IDC_REPLACE_NO);
    ASSERT_TRUE(Driver_WaitForExit(&copier, c_jobTimeoutMs));
    Driver_Kill(&copier);
    EXPECT_TRUE(HasBytes(target, Pattern(1234567, 5)));
    EXPECT_TRUE(SameTime(OtherTime(), GetWriteTime(target)));
    EXPECT_TRUE(HasBytes(source, Pattern(1234567, 4)));
}

TEST(ExistingTarget, SmallerOtherTimeOffersCopyRestWhichAppendsTheRest)
{
    SCENE scene = NewScene("copyrest");
    std::string source = Join(scene.source, "long.bin");
    std::string sourceBytes = Pattern(2500000, 6);
    MakeFile(source, sourceBytes, SourceTime());
    // The first part differs from the source on purpose: only an append
    // keeps it, a rewrite would replace it.
    std::string head(1000000, 'x');
    std::string target = Join(scene.target, "long.bin");
    MakeFile(target, head, OtherTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    HWND dialog = WaitForQuestion(&copier);
    ASSERT_TRUE(dialog);
    EXPECT_EQ("1.000.000 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_EXISTSIZE));
    EXPECT_EQ("2.500.000 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_SOURCESIZE));
    ASSERT_TRUE(Driver_IsItemEnabled(dialog, IDC_REPLACE_COPYREST));
    Answer(dialog, IDC_REPLACE_COPYREST);
    ASSERT_TRUE(Driver_WaitForExit(&copier, c_jobTimeoutMs));
    Driver_Kill(&copier);

    // Only an append keeps the differing head.
    EXPECT_TRUE(HasBytes(target, head + sourceBytes.substr(head.size())));
}

TEST(ExistingTarget, LargerTargetWithTheSourcesTimeIsAskedAndYesReplacesIt)
{
    // Same time but larger than the source: not a partial copy of it.
    SCENE scene = NewScene("larger");
    std::string source = Join(scene.source, "short.bin");
    MakeFile(source, Pattern(4000, 7), SourceTime());
    std::string target = Join(scene.target, "short.bin");
    MakeFile(target, Pattern(9000, 8), SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    HWND dialog = WaitForQuestion(&copier);
    ASSERT_TRUE(dialog);
    EXPECT_EQ("9.000 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_EXISTSIZE));
    EXPECT_FALSE(Driver_IsItemEnabled(dialog, IDC_REPLACE_COPYREST));
    Answer(dialog, IDC_REPLACE_YES);
    ASSERT_TRUE(Driver_WaitForExit(&copier, c_jobTimeoutMs));
    Driver_Kill(&copier);
    EXPECT_TRUE(HasBytes(target, Pattern(4000, 7)));
}

TEST(ExistingTarget, LargerTargetWithTheSourcesTimeInAMoveKeepsTheSourceOnNo)
{
    SCENE scene = NewScene("largermove");
    std::string source = OtherDrivePath(Join(scene.source, ""));
    if (source.empty())
        GTEST_SKIP() << "no second drive letter for the same folder";
    source = Join(source, "keep.bin");
    MakeFile(source, Pattern(4000, 10), SourceTime());
    std::string target = Join(scene.target, "keep.bin");
    MakeFile(target, Pattern(6000, 11), SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 0, {source}, &copier);
    HWND dialog = WaitForQuestion(&copier);
    ASSERT_TRUE(dialog);
    Answer(dialog, IDC_REPLACE_NO);
    ASSERT_TRUE(Driver_WaitForExit(&copier, c_jobTimeoutMs));
    Driver_Kill(&copier);
    EXPECT_TRUE(HasBytes(source, Pattern(4000, 10)));
    EXPECT_TRUE(HasBytes(target, Pattern(6000, 11)));
}

// A folder of several files whose copies all exist with other content.
static void MakeConflicts(const SCENE &scene, const std::string &sourceBox,
                          int count)
{
    std::string targetBox = Join(scene.target, "Box");
    CreateDirectoryA(sourceBox.c_str(), NULL);
    CreateDirectoryA(targetBox.c_str(), NULL);
    for (int i = 0; i < count; i++) {
        std::string name = "f" + std::to_string(i) + ".bin";
        MakeFile(Join(sourceBox, name), Pattern(3000 + i, 20 + i), SourceTime());
        MakeFile(Join(targetBox, name), Pattern(5000 + i, 40 + i), OtherTime());
    }
}

// Answers the first question with `button`; fails if a second one comes.
static void AnswerOnce(DRIVER_COPIER *copier, int button)
{
    HWND dialog = WaitForQuestion(copier);
    ASSERT_TRUE(dialog);
    Answer(dialog, button);
    FinishWithoutQuestion(copier);
}

TEST(ExistingTarget, YesToAllAsksOnceAndReplacesEveryFile)
{
    SCENE scene = NewScene("yesall");
    std::string box = Join(scene.source, "Box");
    MakeConflicts(scene, box, 3);

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {box}, &copier);
    AnswerOnce(&copier, IDC_REPLACE_YESTOALL);
    for (int i = 0; i < 3; i++) {
        std::string name = "Box\\f" + std::to_string(i) + ".bin";
        EXPECT_TRUE(HasBytes(Join(scene.target, name), Pattern(3000 + i, 20 + i))) << name;
    }
}

TEST(ExistingTarget, NoToAllInAMoveAsksOnceAndKeepsEverySource)
{
    SCENE scene = NewScene("noall");
    std::string otherDrive = OtherDrivePath(Join(scene.source, ""));
    if (otherDrive.empty())
        GTEST_SKIP() << "no second drive letter for the same folder";
    std::string box = Join(scene.source, "Box");
    MakeConflicts(scene, box, 3);
    // One file without a conflict shows that the move itself happens.
    MakeFile(Join(box, "new.bin"), Pattern(2000, 60), SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 0, {Join(otherDrive, "Box")}, &copier);
    AnswerOnce(&copier, IDC_REPLACE_NOTOALL);
    for (int i = 0; i < 3; i++) {
        std::string name = "Box\\f" + std::to_string(i) + ".bin";
        EXPECT_TRUE(HasBytes(Join(scene.source, name), Pattern(3000 + i, 20 + i))) << name;
        EXPECT_TRUE(HasBytes(Join(scene.target, name), Pattern(5000 + i, 40 + i))) << name;
    }
    EXPECT_TRUE(HasBytes(Join(scene.target, "Box\\new.bin"), Pattern(2000, 60)));
    EXPECT_FALSE(Driver_FileExists(Join(box, "new.bin")));
}

TEST(ExistingTarget, ReadOnlyPartialTargetIsContinuedAndLosesReadOnly)
{
    // A read-only source whose copy stopped midway: its partial target is
    // read-only too and bears the source's time.
    SCENE scene = NewScene("readonly");
    std::string source = Join(scene.source, "locked.bin");
    std::string sourceBytes = Pattern(1500000, 70);
    MakeFile(source, sourceBytes, SourceTime());
    std::string target = Join(scene.target, "locked.bin");
    MakeFile(target, sourceBytes.substr(0, 600000), SourceTime());
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    FinishWithoutQuestion(&copier);
    EXPECT_TRUE(HasBytes(target, sourceBytes));
    DWORD attributes = GetFileAttributesA(target.c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(SameTime(SourceTime(), GetWriteTime(target)));

    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ExistingTarget, FolderInTheWayOffersASkipInsteadOfRetryingForEver)
{
    // A folder bearing the file's name can be neither replaced nor
    // continued: the user is told and may pass the file over.
    SCENE scene = NewScene("folderway");
    std::string source = Join(scene.source, "clash.bin");
    MakeFile(source, Pattern(2000, 80), SourceTime());
    std::string inTheWay = Join(scene.target, "clash.bin");
    ASSERT_TRUE(CreateDirectoryA(inTheWay.c_str(), NULL));
    std::string after = Join(scene.source, "after.bin");
    MakeFile(after, Pattern(1000, 81), SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source, after}, &copier);
    HWND dialog = Driver_WaitForDialog(&copier, "Error Copying File");
    ASSERT_TRUE(dialog != NULL) << "the clash was not reported";
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    Driver_Click(dialog, IDC_ERROR_SKIP);
    FinishWithoutQuestion(&copier);
    DWORD attributes = GetFileAttributesA(inTheWay.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(HasBytes(Join(scene.target, "after.bin"), Pattern(1000, 81)));
}
