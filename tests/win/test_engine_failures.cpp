// Failures that must lose nothing: a source that cannot be opened while
// its target exists, a moved source that cannot be deleted, a target that
// cannot be created.  The real tesrun.exe meets each; the test answers its
// dialogs as a user would and checks what is left on the disk.
#include "test_engine_common.h"

#include "dialog_answers.h"
#include "resource_ids.h"
#include "test_blockers.h"

namespace {

const DWORD JOB_TIMEOUT_MS = 90000;

class EngineFailures : public EngineTest {};

TEST_F(EngineFailures, UnreadableSourceLeavesTheOldTargetAndNoNewFile)
{
    // old.bin has a target of another time: the replace question; new.bin
    // has none.  Both sources are held open by another program.
    std::string oldSource = Files_Join(src, "old.bin");
    std::string newSource = Files_Join(src, "new.bin");
    Engine_MakeFile(oldSource, 3000, 1);
    Engine_MakeFile(newSource, 4000, 2);
    std::string oldTarget = Engine_MakeFile(Files_Join(dst, "old.bin"), 5000, 3);
    LOCKER oldLock = {}, newLock = {};
    ASSERT_TRUE(Locker_Hold(oldSource, &oldLock));
    ASSERT_TRUE(Locker_Hold(newSource, &newLock));

    ASSERT_FALSE(
        Driver_WriteJob(temp, 100, JOB_MODE_COPY, dst, {oldSource, newSource})
            .empty());
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(temp, "100", &copier));
    DRIVER_ANSWERS answers;
    answers.replaceButton = IDC_REPLACE_YES;
    ASSERT_TRUE(Driver_AnswerUntilExit(&copier, &answers, JOB_TIMEOUT_MS));
    Driver_Kill(&copier);

    EXPECT_EQ(2u, answers.errors.size()) << "each locked source is reported";
    // "&Yes" to a replace whose source then fails must not have cut the
    // old target, and a failed new file leaves nothing behind.
    Engine_ExpectFile(Files_Join(dst, "old.bin"), oldTarget, 3);
    EXPECT_FALSE(Driver_FileExists(Files_Join(dst, "new.bin")));
}

TEST_F(EngineFailures, MovedSourceThatCannotBeDeletedIsReportedAndRetried)
{
    std::string target = Engine_FolderOnOtherDrive(work, "undeletable");
    std::string source = Files_Join(src, "keep.bin");
    std::string bytes = Engine_MakeFile(source, 70000, 4);
    // A frozen folder lets its files be read but not deleted.
    IMMUTABLE_FOLDER frozen;
    if (!Blockers_Freeze(src, &frozen))
        GTEST_SKIP() << "chattr +i is not available on this file system";

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, "undeletable", 100, JOB_MODE_MOVE,
                                target, {source}));
    HWND dialog = Driver_WaitForDialog(&run.copier, "Error Moving File");
    ASSERT_TRUE(dialog != NULL) << "the failed deletion was not reported";
    EXPECT_EQ("Cannot move " + Files_Lower(source),
              Driver_GetItemText(dialog, IDC_ERROR_HEADING));
    EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
    // The copy is complete already; freed, a retry finishes the move.
    Engine_ExpectFile(Files_Join(target, "keep.bin"), bytes, 4);
    ASSERT_TRUE(Driver_RunUnix("chattr -i '" + frozen.unixPath + "'"));
    Driver_Click(dialog, IDC_ERROR_RETRY);
    ASSERT_TRUE(Driver_WaitForItemText(run.copier.window, IDC_PROGRESS_PAUSE,
                                       "Resume"));
    Driver_Click(run.copier.window, IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier, JOB_TIMEOUT_MS));
    EXPECT_FALSE(Driver_FileExists(source));
    Engine_ExpectFile(Files_Join(target, "keep.bin"), bytes, 4);
}

TEST_F(EngineFailures, TargetsThatCannotBeCreatedAreSkippedAndTheirSourcesStay)
{
    std::string target = Engine_FolderOnOtherDrive(work, "uncreatable");
    std::string file = Files_Join(src, "file.bin");
    std::string folder = Files_Join(src, "folder");
    std::string fileBytes = Engine_MakeFile(file, 3000, 5);
    Files_MakeFolder(folder);
    std::string innerBytes = Engine_MakeFile(Files_Join(folder, "inner.bin"),
                                             2000, 6);
    IMMUTABLE_FOLDER frozen;
    if (!Blockers_Freeze(target, &frozen))
        GTEST_SKIP() << "chattr +i is not available on this file system";

    ASSERT_FALSE(
        Driver_WriteJob(temp, 100, JOB_MODE_MOVE, target, {file, folder})
            .empty());
    DRIVER_COPIER copier = {};
    ASSERT_TRUE(Driver_StartCopier(temp, "100", &copier));
    DRIVER_ANSWERS answers;
    answers.replaceButton = IDC_REPLACE_NO;
    ASSERT_TRUE(Driver_AnswerUntilExit(&copier, &answers, JOB_TIMEOUT_MS))
        << "an error without a skip, or no end";
    Driver_Kill(&copier);

    ASSERT_EQ(2u, answers.errors.size());
    EXPECT_EQ("Cannot move " + Files_Lower(Files_Join(target, "file.bin")),
              answers.errors[0]);
    EXPECT_EQ("Cannot move during creation of the folder : " +
                  Files_Lower(Files_Join(target, "folder")),
              answers.errors[1]);
    Engine_ExpectFile(file, fileBytes, 5);
    Engine_ExpectFile(Files_Join(folder, "inner.bin"), innerBytes, 6);
}

}  // namespace
