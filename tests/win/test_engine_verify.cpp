// Name, size and last-write time do not make a file a copy of a source:
// before the engine continues a target, or a move deletes the source of a
// target found complete, the bytes are compared.  The real tesrun.exe runs
// each job; the test answers the replace question as a user would.
#include "test_engine_common.h"

#include "dialog_answers.h"
#include "resource_ids.h"

namespace {

const DWORD JOB_TIMEOUT_MS = 90000;

class EngineVerify : public EngineTest {
protected:
    // Runs the job to its end, answering every question with `button`.  A
    // relaunched job starts paused, as the resume scan starts it, and is
    // resumed at once.
    void Run(int mode, const std::string &target,
             const std::vector<std::string> &sources, int button,
             bool relaunched = false)
    {
        ASSERT_FALSE(Driver_WriteJob(temp, 100, mode, target, sources).empty());
        DRIVER_COPIER copier = {};
        ASSERT_TRUE(
            Driver_StartCopier(temp, relaunched ? "100R" : "100", &copier));
        if (relaunched) {
            HWND window = Driver_WaitForProgressWindow(&copier);
            ASSERT_TRUE(window != NULL);
            ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
            Driver_Click(window, IDC_PROGRESS_PAUSE);
        }
        answers = DRIVER_ANSWERS();
        answers.replaceButton = button;
        bool ended =
            Driver_AnswerUntilExit(&copier, &answers, JOB_TIMEOUT_MS);
        Driver_Kill(&copier);
        ASSERT_TRUE(ended) << "the copier did not end by itself";
        EXPECT_TRUE(answers.errors.empty());
    }

    DRIVER_ANSWERS answers;
};

TEST_F(EngineVerify, SameNameAndTimeWithOtherBytesIsNotSplicedNorDeleted)
{
    // Two sources of one name and one time in a move: the second finds the
    // first's copy smaller, with its time, but it is no part of it.
    std::string target = Engine_FolderOnOtherDrive(work, "splice");
    Files_MakeFolder(Files_Join(src, "a"));
    Files_MakeFolder(Files_Join(src, "b"));
    std::string first = Files_Join(src, "a\\f.bin");
    std::string second = Files_Join(src, "b\\f.bin");
    std::string firstBytes = Files_Pattern(1500000, 1);
    std::string secondBytes = Files_Pattern(2600000, 2);
    Files_MakeFile(first, firstBytes, Files_SeedTime(1));
    Files_MakeFile(second, secondBytes, Files_SeedTime(1));

    Run(JOB_MODE_MOVE, target, {first, second}, IDC_REPLACE_NO);

    ASSERT_EQ(1u, answers.questions.size()) << "the second f.bin was not asked";
    EXPECT_FALSE(answers.copyRestOffered[0]);
    Engine_ExpectFile(Files_Join(target, "f.bin"), firstBytes, 1);
    EXPECT_FALSE(Driver_FileExists(first));
    EXPECT_TRUE(Files_HasBytes(second, secondBytes)) << "a source was lost";
}

TEST_F(EngineVerify, MoveDeletesTheSourceOfACompleteTargetOnlyWhenTheBytesAgree)
{
    std::string target = Engine_FolderOnOtherDrive(work, "complete");
    std::string same = Files_Join(src, "same.bin");
    std::string other = Files_Join(src, "other.bin");
    std::string sameBytes = Engine_MakeFile(same, 1200000, 3);
    Engine_MakeFile(Files_Join(target, "same.bin"), 1200000, 3);
    std::string otherBytes = Engine_MakeFile(other, 5000, 4);
    // Same size and time as other.bin, other bytes.
    std::string foreign = Files_Pattern(5000, 5);
    Files_MakeFile(Files_Join(target, "other.bin"), foreign, Files_SeedTime(4));

    Run(JOB_MODE_MOVE, target, {same, other}, IDC_REPLACE_NO);

    // A move relaunched after its copy was complete ends with the source
    // gone; a target that only looks complete is asked about.
    EXPECT_FALSE(Driver_FileExists(same));
    Engine_ExpectFile(Files_Join(target, "same.bin"), sameBytes, 3);
    ASSERT_EQ(1u, answers.questions.size());
    EXPECT_EQ("'other.bin'", answers.questions[0]);
    EXPECT_FALSE(answers.copyRestOffered[0]);
    EXPECT_TRUE(Files_HasBytes(other, otherBytes));
    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "other.bin"), foreign));
}

TEST_F(EngineVerify, RelaunchedCopyIntoItsOwnFolderContinuesItsCopyOf)
{
    // As a killed copy leaves them: "Copy of f.bin" cut short, with the
    // time of its last write; "Copy of g.bin" has g's time but foreign
    // bytes.  One byte of the cut-off copy differs from f's on purpose,
    // where the check of a partial copy does not look: only a true continue
    // keeps it, a copy written anew would not.  Only a relaunched job (the
    // resume scan starts it paused) continues a "Copy of".
    std::string f = Files_Join(src, "f.bin");
    std::string g = Files_Join(src, "g.bin");
    std::string fBytes = Engine_MakeFile(f, 4500000, 6);
    std::string gBytes = Engine_MakeFile(g, 2000000, 7);
    std::string kept = fBytes.substr(0, 3000000);
    size_t mark = Files_UncomparedOffset(kept.size());
    ASSERT_NE(0u, mark);
    kept[mark] = (char)~kept[mark];
    Files_MakeFile(Files_Join(src, "Copy of f.bin"), kept, Files_SeedTime(9));
    std::string foreign = Files_Pattern(900000, 8);
    Files_MakeFile(Files_Join(src, "Copy of g.bin"), foreign, Files_SeedTime(7));

    Run(JOB_MODE_COPY, src, {f, g}, IDC_REPLACE_NO, true);

    EXPECT_TRUE(answers.questions.empty());
    Engine_ExpectFile(Files_Join(src, "Copy of f.bin"),
                      kept + fBytes.substr(kept.size()), 6);
    EXPECT_FALSE(Driver_FileExists(Files_Join(src, "Copy (1) of f.bin")));
    Engine_ExpectFile(Files_Join(src, "Copy (1) of g.bin"), gBytes, 7);
    EXPECT_TRUE(Files_HasBytes(Files_Join(src, "Copy of g.bin"), foreign));
}

}  // namespace
