// Existing target files, end to end: the real tesrun.exe copies onto
// targets that already exist, and the test answers "Confirm File Replace"
// the way a user would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_answers.h"
#include "resource_ids.h"
#include "test_files.h"
#include "ui_driver.h"

static const char c_replaceTitle[] = "Confirm File Replace";
static const DWORD c_jobTimeoutMs = 60000;

// The time the sources carry, and another one for targets that are not
// copies of them.
static FILETIME SourceTime(void) { return Files_LocalTime(1998, 3, 5, 9, 7, 3); }
static FILETIME OtherTime(void) { return Files_LocalTime(2001, 11, 23, 14, 5, 9); }

static void StartJob(const FILES_SCENE &scene, int mode,
                     const std::vector<std::string> &sources,
                     DRIVER_COPIER *copier)
{
    ASSERT_FALSE(Driver_WriteJob(scene.temp, 100, mode, scene.dst, sources).empty());
    ASSERT_TRUE(Driver_StartCopier(scene.temp, "100", copier));
}

// Lets the copier run to its end; the test fails if it asks anything.
static void FinishWithoutQuestion(DRIVER_COPIER *copier)
{
    Driver_RunWithoutQuestions(copier, c_jobTimeoutMs);
    Driver_Kill(copier);
}

// Presses a button of the replace dialog and waits until the dialog is gone.
static void Answer(HWND dialog, int button)
{
    Driver_Click(dialog, button);
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog)) << "the dialog stayed open";
}

// Answers the question with `button`; the copier must then end by itself.
static void AnswerAndEnd(DRIVER_COPIER *copier, HWND dialog, int button)
{
    Answer(dialog, button);
    FinishWithoutQuestion(copier);
}

static HWND WaitForQuestion(DRIVER_COPIER *copier)
{
    HWND dialog = Driver_WaitForDialog(copier, c_replaceTitle);
    EXPECT_TRUE(dialog != NULL) << "no replace question";
    return dialog;
}

TEST(ExistingTarget, JobRunTwiceCopiesNothingTheSecondTime)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("twice", &scene));
    std::string box = Files_Join(scene.src, "Box");
    CreateDirectoryA(box.c_str(), NULL);
    CreateDirectoryA(Files_Join(box, "inner").c_str(), NULL);
    Files_MakeFile(Files_Join(box, "one.bin"), Files_Pattern(70000, 1),
                   SourceTime());
    Files_MakeFile(Files_Join(box, "inner\\two.bin"), Files_Pattern(1500, 2),
                   OtherTime());
    Files_MakeFile(Files_Join(box, "empty.bin"), "", SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {box}, &copier);
    FinishWithoutQuestion(&copier);
    std::string copy = Files_Join(scene.dst, "Box");
    ASSERT_TRUE(
        Files_HasBytes(Files_Join(copy, "one.bin"), Files_Pattern(70000, 1)));
    ASSERT_TRUE(Files_HasBytes(Files_Join(copy, "inner\\two.bin"),
                               Files_Pattern(1500, 2)));
    ASSERT_TRUE(Driver_FileExists(Files_Join(copy, "empty.bin")));

    // Mark the copies without touching size or time: a second run that
    // wrote anything would undo the mark.
    std::string marked = Files_Pattern(70000, 9);
    Files_MakeFile(Files_Join(copy, "one.bin"), marked, SourceTime());
    std::string markedInner = Files_Pattern(1500, 8);
    Files_MakeFile(Files_Join(copy, "inner\\two.bin"), markedInner,
                   OtherTime());

    StartJob(scene, 1, {box}, &copier);
    FinishWithoutQuestion(&copier);
    EXPECT_TRUE(Files_HasBytes(Files_Join(copy, "one.bin"), marked));
    EXPECT_TRUE(
        Files_HasBytes(Files_Join(copy, "inner\\two.bin"), markedInner));
}

TEST(ExistingTarget, EmptyTargetIsWrittenWithoutAsking)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("empty", &scene));
    std::string source = Files_Join(scene.src, "data.bin");
    Files_MakeFile(source, Files_Pattern(3000, 3), SourceTime());
    Files_MakeFile(Files_Join(scene.dst, "data.bin"), "", OtherTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    FinishWithoutQuestion(&copier);
    EXPECT_TRUE(Files_HasBytes(Files_Join(scene.dst, "data.bin"),
                               Files_Pattern(3000, 3)));
    EXPECT_TRUE(
        Files_HasWriteTime(Files_Join(scene.dst, "data.bin"), SourceTime()));
}

TEST(ExistingTarget, SameSizeOtherTimeAsksWithoutCopyRestAndNoKeepsTheTarget)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("samesize", &scene));
    std::string source = Files_Join(scene.src, "Mixed Case.TXT");
    Files_MakeFile(source, Files_Pattern(1234567, 4), SourceTime());
    std::string target = Files_Join(scene.dst, "Mixed Case.TXT");
    Files_MakeFile(target, Files_Pattern(1234567, 5), OtherTime());

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

    ASSERT_NO_FATAL_FAILURE(AnswerAndEnd(&copier, dialog, IDC_REPLACE_NO));
    EXPECT_TRUE(Files_HasBytes(target, Files_Pattern(1234567, 5)));
    EXPECT_TRUE(Files_HasWriteTime(target, OtherTime()));
    EXPECT_TRUE(Files_HasBytes(source, Files_Pattern(1234567, 4)));
}

TEST(ExistingTarget, SmallerOtherTimeOffersCopyRestWhichAppendsTheRest)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("copyrest", &scene));
    std::string source = Files_Join(scene.src, "long.bin");
    std::string sourceBytes = Files_Pattern(4500000, 6);
    Files_MakeFile(source, sourceBytes, SourceTime());
    // The source's first part, with one byte changed on purpose where the
    // check before a continue does not look: only an append keeps it, a
    // rewrite would replace it.
    std::string head = sourceBytes.substr(0, 3000000);
    size_t mark = Files_UncomparedOffset(head.size());
    ASSERT_NE(0u, mark);
    head[mark] = (char)~head[mark];
    std::string target = Files_Join(scene.dst, "long.bin");
    Files_MakeFile(target, head, OtherTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    HWND dialog = WaitForQuestion(&copier);
    ASSERT_TRUE(dialog);
    EXPECT_EQ("3.000.000 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_EXISTSIZE));
    EXPECT_EQ("4.500.000 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_SOURCESIZE));
    ASSERT_TRUE(Driver_IsItemEnabled(dialog, IDC_REPLACE_COPYREST));
    ASSERT_NO_FATAL_FAILURE(
        AnswerAndEnd(&copier, dialog, IDC_REPLACE_COPYREST));

    // Only an append keeps the differing head.
    EXPECT_TRUE(Files_HasBytes(target, head + sourceBytes.substr(head.size())));
}

TEST(ExistingTarget, LargerTargetWithTheSourcesTimeIsAskedAndYesReplacesIt)
{
    // Same time but larger than the source: not a partial copy of it.
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("larger", &scene));
    std::string source = Files_Join(scene.src, "short.bin");
    Files_MakeFile(source, Files_Pattern(4000, 7), SourceTime());
    std::string target = Files_Join(scene.dst, "short.bin");
    Files_MakeFile(target, Files_Pattern(9000, 8), SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    HWND dialog = WaitForQuestion(&copier);
    ASSERT_TRUE(dialog);
    EXPECT_EQ("9.000 Bytes", Driver_GetItemText(dialog, IDC_REPLACE_EXISTSIZE));
    EXPECT_FALSE(Driver_IsItemEnabled(dialog, IDC_REPLACE_COPYREST));
    ASSERT_NO_FATAL_FAILURE(AnswerAndEnd(&copier, dialog, IDC_REPLACE_YES));
    EXPECT_TRUE(Files_HasBytes(target, Files_Pattern(4000, 7)));
}

TEST(ExistingTarget, LargerTargetWithTheSourcesTimeInAMoveKeepsTheSourceOnNo)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("largermove", &scene));
    std::string source = Files_OnOtherDrive(Files_Join(scene.src, "keep.bin"));
    Files_MakeFile(source, Files_Pattern(4000, 10), SourceTime());
    std::string target = Files_Join(scene.dst, "keep.bin");
    Files_MakeFile(target, Files_Pattern(6000, 11), SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 0, {source}, &copier);
    HWND dialog = WaitForQuestion(&copier);
    ASSERT_TRUE(dialog);
    ASSERT_NO_FATAL_FAILURE(AnswerAndEnd(&copier, dialog, IDC_REPLACE_NO));
    EXPECT_TRUE(Files_HasBytes(source, Files_Pattern(4000, 10)));
    EXPECT_TRUE(Files_HasBytes(target, Files_Pattern(6000, 11)));
}

// A folder of several files whose copies all exist with other content.
static void MakeConflicts(const FILES_SCENE &scene,
                          const std::string &sourceBox, int count)
{
    std::string targetBox = Files_Join(scene.dst, "Box");
    CreateDirectoryA(sourceBox.c_str(), NULL);
    CreateDirectoryA(targetBox.c_str(), NULL);
    for (int i = 0; i < count; i++) {
        std::string name = "f" + std::to_string(i) + ".bin";
        Files_MakeFile(Files_Join(sourceBox, name),
                       Files_Pattern(3000 + i, 20 + i), SourceTime());
        Files_MakeFile(Files_Join(targetBox, name),
                       Files_Pattern(5000 + i, 40 + i), OtherTime());
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
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("yesall", &scene));
    std::string box = Files_Join(scene.src, "Box");
    MakeConflicts(scene, box, 3);

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {box}, &copier);
    AnswerOnce(&copier, IDC_REPLACE_YESTOALL);
    for (int i = 0; i < 3; i++) {
        std::string name = "Box\\f" + std::to_string(i) + ".bin";
        EXPECT_TRUE(Files_HasBytes(Files_Join(scene.dst, name),
                                   Files_Pattern(3000 + i, 20 + i)))
            << name;
    }
}

TEST(ExistingTarget, NoToAllInAMoveAsksOnceAndKeepsEverySource)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("noall", &scene));
    std::string otherDrive = Files_OnOtherDrive(scene.src);
    std::string box = Files_Join(scene.src, "Box");
    MakeConflicts(scene, box, 3);
    // One file without a conflict shows that the move itself happens.
    Files_MakeFile(Files_Join(box, "new.bin"), Files_Pattern(2000, 60),
                   SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 0, {Files_Join(otherDrive, "Box")}, &copier);
    AnswerOnce(&copier, IDC_REPLACE_NOTOALL);
    for (int i = 0; i < 3; i++) {
        std::string name = "Box\\f" + std::to_string(i) + ".bin";
        EXPECT_TRUE(Files_HasBytes(Files_Join(scene.src, name),
                                   Files_Pattern(3000 + i, 20 + i)))
            << name;
        EXPECT_TRUE(Files_HasBytes(Files_Join(scene.dst, name),
                                   Files_Pattern(5000 + i, 40 + i)))
            << name;
    }
    EXPECT_TRUE(Files_HasBytes(Files_Join(scene.dst, "Box\\new.bin"),
                               Files_Pattern(2000, 60)));
    EXPECT_FALSE(Driver_FileExists(Files_Join(box, "new.bin")));
}

TEST(ExistingTarget, ReadOnlyPartialTargetIsContinuedAndLosesReadOnly)
{
    // A read-only source whose copy stopped midway: its partial target is
    // read-only too and bears the source's time.  One of its bytes differs
    // from the source's on purpose, where the check of a partial copy does
    // not look: only a true continue keeps it, a copy written anew would not.
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("readonly", &scene));
    std::string source = Files_Join(scene.src, "locked.bin");
    std::string sourceBytes = Files_Pattern(4500000, 70);
    Files_MakeFile(source, sourceBytes, SourceTime());
    std::string target = Files_Join(scene.dst, "locked.bin");
    std::string kept = sourceBytes.substr(0, 3000000);
    size_t mark = Files_UncomparedOffset(kept.size());
    ASSERT_NE(0u, mark);
    kept[mark] = (char)~kept[mark];
    Files_MakeFile(target, kept, SourceTime());
    ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source}, &copier);
    FinishWithoutQuestion(&copier);
    EXPECT_TRUE(Files_HasBytes(target, kept + sourceBytes.substr(kept.size())));
    DWORD attributes = GetFileAttributesA(target.c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Files_HasWriteTime(target, SourceTime()));

    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ExistingTarget, FolderInTheWayOffersASkipInsteadOfRetryingForEver)
{
    // A folder bearing the file's name can be neither replaced nor
    // continued: the user is told and may pass the file over.
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("folderway", &scene));
    std::string source = Files_Join(scene.src, "clash.bin");
    Files_MakeFile(source, Files_Pattern(2000, 80), SourceTime());
    std::string inTheWay = Files_Join(scene.dst, "clash.bin");
    ASSERT_TRUE(CreateDirectoryA(inTheWay.c_str(), NULL));
    std::string after = Files_Join(scene.src, "after.bin");
    Files_MakeFile(after, Files_Pattern(1000, 81), SourceTime());

    DRIVER_COPIER copier = {};
    StartJob(scene, 1, {source, after}, &copier);
    HWND dialog = Driver_WaitForDialog(&copier, "Error Copying File");
    ASSERT_TRUE(dialog != NULL) << "the clash was not reported";
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    Driver_Click(dialog, IDC_ERROR_SKIP);
    EXPECT_TRUE(Driver_WaitForWindowGone(dialog));
    std::string list;
    ASSERT_TRUE(Driver_RunToTheSkippedList(&copier, &list));
    Driver_Kill(&copier);
    EXPECT_NE(std::string::npos, list.find(inTheWay)) << list;
    DWORD attributes = GetFileAttributesA(inTheWay.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES &&
                (attributes & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(Files_HasBytes(Files_Join(scene.dst, "after.bin"),
                               Files_Pattern(1000, 81)));
}
