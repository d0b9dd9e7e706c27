// The engine's guards under Wine: a same-drive move whose rename fails is
// finished by copying and deleting; a folder dropped into itself or one of
// its subfolders is refused with a message while the rest of the job goes
// on; a path the system cannot take is reported with a skip, not cut off.
#include "test_engine_common.h"

#include "wide_files.h"

#include "job_end.h"

#include "resource_ids.h"

namespace {

typedef EngineTest EngineGuards;

BOOL CALLBACK Engine_CollectText(HWND child, LPARAM context)
{
    char text[2048] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, (LPARAM)text,
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    *(std::string *)context += text;
    *(std::string *)context += "\n";
    return TRUE;
}

// Every text shown inside a dialog, one control a line.
std::string Engine_DialogTexts(HWND dialog)
{
    std::string texts;
    EnumChildWindows(dialog, Engine_CollectText, (LPARAM)&texts);
    return texts;
}

TEST_F(EngineGuards, FailedRenameOfAMoveIsFinishedByCopyAndDelete)
{
    // The target already holds a folder "d": the rename fails, and the move
    // must still happen, merged into that folder.
    std::string source = Files_Join(src, "d");
    Files_MakeFolder(source);
    Files_MakeFolder(Files_Join(source, "sub"));
    std::string a = Engine_MakeFile(Files_Join(source, "a.txt"), 4000, 1);
    std::string b = Engine_MakeFile(Files_Join(source, "sub\\b.txt"), 6000, 2);
    std::string existing = Files_Join(dst, "d");
    Files_MakeFolder(existing);
    std::string old = Engine_MakeFile(Files_Join(existing, "old.txt"), 100, 3);
    ASSERT_EQ(toupper(src[0]), toupper(dst[0]));

    Engine_RunJob(temp, 200, JOB_MODE_MOVE, dst, {source});

    Engine_ExpectFile(Files_Join(existing, "a.txt"), a, 1);
    Engine_ExpectFile(Files_Join(existing, "sub\\b.txt"), b, 2);
    Engine_ExpectFile(Files_Join(existing, "old.txt"), old, 3);
    EXPECT_FALSE(Driver_FileExists(source)) << "the moved folder stayed behind";
}

TEST_F(EngineGuards, MoveIntoTheItemsOwnFolderLeavesItAlone)
{
    std::string x = Engine_MakeFile(Files_Join(src, "x.txt"), 500, 4);

    Engine_RunJob(temp, 201, JOB_MODE_MOVE, src, {Files_Join(src, "x.txt")});

    Engine_ExpectFile(Files_Join(src, "x.txt"), x, 4);
    EXPECT_EQ((std::vector<std::string>{"x.txt"}), Files_List(src));
}

// Sources: the folder a (the target lies inside it), the file b.txt and the
// folder ab (whose name only begins like a).  Target: a\inner.
void Engine_RunIntoOwnSubfolder(const std::string &temp, const std::string &src,
                                int mode, const char *caption, const char *verb)
{
    std::string a = Files_Join(src, "a");
    std::string inner = Files_Join(a, "inner");
    Files_MakeFolder(a);
    Files_MakeFolder(inner);
    std::string f = Engine_MakeFile(Files_Join(a, "f.txt"), 700, 5);
    std::string b = Engine_MakeFile(Files_Join(src, "b.txt"), 800, 6);
    Files_MakeFolder(Files_Join(src, "ab"));
    std::string g = Engine_MakeFile(Files_Join(src, "ab\\g.txt"), 900, 7);

    ASSERT_FALSE(Driver_WriteJob(temp, 202, mode, inner,
                                 {a, Files_Join(src, "b.txt"),
                                  Files_Join(src, "ab")})
                     .empty());
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(temp, "202", &copier));
    HWND message = Driver_WaitForDialog(&copier, caption);
    ASSERT_TRUE(message != NULL) << "no message about the target inside a";
    std::string texts = Engine_DialogTexts(message);
    std::string expected = std::string(verb) + " \"" + Files_Lower(a) +
                           "\" into \"" + Files_Lower(inner) + "\"";
    EXPECT_NE(std::string::npos, texts.find(expected)) << texts;
    // Nothing of a has been copied while the message is up.
    EXPECT_EQ(std::vector<std::string>(), Files_List(inner));
    Driver_Click(message, IDOK);
    bool ended = Driver_WaitForExit(&copier);
    Driver_Kill(&copier);
    ASSERT_TRUE(ended);

    // a was passed over (no copy of a inside itself); the rest went on.
    EXPECT_EQ((std::vector<std::string>{"ab", "b.txt"}), Files_List(inner));
    Engine_ExpectFile(Files_Join(inner, "b.txt"), b, 6);
    Engine_ExpectFile(Files_Join(inner, "ab\\g.txt"), g, 7);
    Engine_ExpectFile(Files_Join(a, "f.txt"), f, 5);
}

TEST_F(EngineGuards, CopyIntoOwnSubfolderIsRefusedAndTheRestGoesOn)
{
    Engine_RunIntoOwnSubfolder(temp, src, JOB_MODE_COPY,
                               "Error Copying Folder", "Cannot copy");
    // A copy keeps its sources.
    EXPECT_TRUE(Driver_FileExists(Files_Join(src, "b.txt")));
    EXPECT_TRUE(Driver_FileExists(Files_Join(src, "ab\\g.txt")));
}

TEST_F(EngineGuards, MoveIntoOwnSubfolderIsRefusedAndTheRestGoesOn)
{
    Engine_RunIntoOwnSubfolder(temp, src, JOB_MODE_MOVE,
                               "Error Moving Folder", "Cannot move");
    EXPECT_FALSE(Driver_FileExists(Files_Join(src, "b.txt")));
    EXPECT_FALSE(Driver_FileExists(Files_Join(src, "ab")));
}

TEST_F(EngineGuards, PathsBeyondMaxPathAreCopiedWhole)
{
    // long\DDD...\far-away-file.txt: the folder stays below 260 characters,
    // the file's path goes beyond.  It lives beside src, so that a leftover
    // of an earlier run can be removed here.
    std::string root = Files_Join(work, "long");
    Files_RemoveTree(root);
    Files_MakeFolder(root);
    std::string ok = Engine_MakeFile(Files_Join(root, "ok.txt"), 600, 8);
    size_t nameLength = 259 - root.size() - 1 - 4;
    ASSERT_GT(nameLength, 20u);
    ASSERT_LE(nameLength, 255u);
    std::string deep = Files_Join(root, std::string(nameLength, 'D'));
    std::string farFile = Files_Join(deep, "far-away-file.txt");
    ASSERT_GE(farFile.size(), 260u);
    ASSERT_TRUE(CreateDirectoryW(Files_Wide(deep, true).c_str(), NULL));
    HANDLE file = CreateFileW(Files_Wide(farFile, true).c_str(), GENERIC_WRITE,
                              0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_TRUE(file != INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    WriteFile(file, "far", 3, &wrote, NULL);
    CloseHandle(file);

    Engine_RunJob(temp, 203, JOB_MODE_COPY, dst, {root});

    std::string copied = Files_Join(dst, "long");
    Engine_ExpectFile(Files_Join(copied, "ok.txt"), ok, 8);
    std::string copiedFar = Files_Join(
        Files_Join(copied, std::string(nameLength, 'D')), "far-away-file.txt");
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFileU(copiedFar, &bytes)) << "not copied";
    EXPECT_EQ("far", bytes);
    Files_RemoveTree(root);
    Files_RemoveTree(copied);
}

}  // namespace
