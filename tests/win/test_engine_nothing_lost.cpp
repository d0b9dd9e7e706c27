// Faults that would lose, splice or silently leave out a user's data, each
// met as a user meets it: a kept part that is another file's head, an
// older "Copy of" snapshot, a name ending in a dot (which Windows' path
// functions would take for its neighbour), a pipe that delivers in
// pieces, a target that can't be replaced under "skip all", a folder named
// in another letter case, and a continued copy whose first part differs
// where no sample looks.  Whatever a job leaves out is listed at its end.
#include "test_engine_common.h"

#include "dialog_answers.h"
#include "job_end.h"
#include "resource_ids.h"
#include "test_blockers.h"
#include "wide_files.h"

namespace {

const DWORD JOB_TIMEOUT_MS = 90000;

class NothingLost : public EngineTest {
protected:
    // Starts job 200 (`argument` as given, "200" when NULL).
    void Start(DRIVER_COPIER *copier, int mode, const std::string &target,
               const std::vector<std::string> &sources,
               const char *argument = NULL)
    {
        ASSERT_FALSE(
            Driver_WriteJob(temp, 200, mode, target, sources).empty());
        ASSERT_TRUE(Driver_StartCopier(temp, argument ? argument : "200",
                                       copier));
    }

    // The error dialog of `title`: its heading and text, then `button`.
    void Answer(DRIVER_COPIER *copier, const char *title, int button,
                std::string *heading, std::string *text = NULL)
    {
        HWND dialog = Driver_WaitForDialog(copier, title);
        ASSERT_TRUE(dialog != NULL) << "no \"" << title << "\"";
        *heading = Driver_GetItemText(dialog, IDC_ERROR_HEADING);
        if (text)
            *text = Driver_GetItemText(dialog, IDC_ERROR_TEXT);
        ASSERT_TRUE(Driver_IsItemEnabled(dialog, button)) << *heading;
        Driver_Click(dialog, button);
        ASSERT_TRUE(Driver_WaitForWindowGone(dialog));
    }

    // A FIFO at `path` fed by the host with "part1", then, a second later,
    // "part2": its reader gets the two parts from two reads.
    void MakeSlowPipe(const std::string &path)
    {
        std::string unixPath = Driver_UnixPath(path);
        ASSERT_TRUE(Driver_RunUnix("rm -f '" + unixPath + "'; mkfifo '" +
                                   unixPath + "' && "
                                   "( (printf part1; sleep 1; printf part2) > '" +
                                   unixPath + "' & )"));
    }
};

TEST_F(NothingLost, CopyRestIsOfferedOnlyForAKeptPartOfTheSource)
{
    // own.bin keeps the source's head; foreign.bin another file's head;
    // partial.bin has the source's time, but its middle is another file's.
    const size_t size = 5000000;
    std::string own = Engine_MakeFile(Files_Join(src, "own.bin"), size, 1);
    std::string foreign = Engine_MakeFile(Files_Join(src, "foreign.bin"), size, 2);
    std::string partial = Engine_MakeFile(Files_Join(src, "partial.bin"), size, 3);
    Files_MakeFile(Files_Join(dst, "own.bin"), own.substr(0, 2000000),
                   Files_SeedTime(9));
    std::string otherHead = Files_Pattern(2000000, 8);
    Files_MakeFile(Files_Join(dst, "foreign.bin"), otherHead, Files_SeedTime(9));
    std::string spliced = partial.substr(0, 3000000);
    spliced.replace(1300000, 200000, Files_Pattern(200000, 7));
    Files_MakeFile(Files_Join(dst, "partial.bin"), spliced, Files_SeedTime(3));

    DRIVER_COPIER copier = {};
    ASSERT_NO_FATAL_FAILURE(Start(&copier, JOB_MODE_COPY, dst,
                                  {Files_Join(src, "own.bin"),
                                   Files_Join(src, "foreign.bin"),
                                   Files_Join(src, "partial.bin")}));
    DRIVER_ANSWERS answers;
    answers.replaceButton = IDC_REPLACE_COPYREST;   // "&Yes" where disabled
    EXPECT_TRUE(Driver_AnswerUntilExit(&copier, &answers, JOB_TIMEOUT_MS));

    EXPECT_EQ((std::vector<std::string>{"'own.bin'", "'foreign.bin'",
                                        "'partial.bin'"}),
              answers.questions);
    EXPECT_EQ((std::vector<bool>{true, false, false}), answers.copyRestOffered);
    Engine_ExpectFile(Files_Join(dst, "own.bin"), own, 1);
    Engine_ExpectFile(Files_Join(dst, "foreign.bin"), foreign, 2);
    Engine_ExpectFile(Files_Join(dst, "partial.bin"), partial, 3);
}

TEST_F(NothingLost, FreshCopyIntoItsOwnFolderKeepsAnOlderShorterCopyOf)
{
    // "Copy of f.bin" is the user's snapshot of f.bin's first part; a
    // relaunched job (started with "R") continues it, a fresh one does not.
    std::string f = Files_Join(src, "f.bin");
    std::string bytes = Engine_MakeFile(f, 2500000, 4);
    std::string snapshotPath = Files_Join(src, "Copy of f.bin");
    std::string snapshot = bytes.substr(0, 1200000);
    Files_MakeFile(snapshotPath, snapshot, Files_SeedTime(9));

    Engine_RunJob(temp, 201, JOB_MODE_COPY, src, {f});
    EXPECT_TRUE(Files_HasBytes(snapshotPath, snapshot));
    Engine_ExpectFile(Files_Join(src, "Copy (1) of f.bin"), bytes, 4);

    // A killed copy's "Copy (2) of f.bin", relaunched.
    std::string cut = Files_Join(src, "Copy (2) of f.bin");
    Files_MakeFile(cut, bytes.substr(0, 700000), Files_SeedTime(9));
    DRIVER_COPIER copier = {};
    ASSERT_NO_FATAL_FAILURE(Start(&copier, JOB_MODE_COPY, src, {f}, "200R"));
    HWND window = Driver_WaitForProgressWindow(&copier);
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(Driver_WaitForExit(&copier));
    Engine_ExpectFile(cut, bytes, 4);
    EXPECT_FALSE(Driver_FileExists(Files_Join(src, "Copy (3) of f.bin")));
    EXPECT_TRUE(Files_HasBytes(snapshotPath, snapshot));
}

TEST_F(NothingLost, NameEndingInADotIsMovedAsItselfBesideItsNeighbour)
{
    std::string tree = Files_Join(src, "tree");
    Files_MakeFolder(tree);
    std::string plain = Engine_MakeFile(Files_Join(tree, "end"), 3000, 5);
    ASSERT_TRUE(Driver_RunUnix("printf dotted > '" + Driver_UnixPath(tree) +
                               "/end.'"));
    std::string target = Engine_FolderOnOtherDrive(work, "enddot");

    Engine_RunJob(temp, 204, JOB_MODE_MOVE, target, {tree});

    // "end" and "end." arrive as two files with their own bytes, and
    // neither stays behind.
    std::string moved = Files_Join(target, "tree");
    Engine_ExpectFile(Files_Join(moved, "end"), plain, 5);
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFileU(moved + "\\end.", &bytes));
    EXPECT_EQ("dotted", bytes);
    EXPECT_EQ((std::vector<std::string>{"end", "end."}), Files_ListU(moved));
    EXPECT_FALSE(Driver_FileExists(tree)) << "the moved folder stayed";
}

TEST_F(NothingLost, ReadsGoOnToTheEndAndAMoveChecksTheSize)
{
    std::string copied = Files_Join(src, "copied");
    std::string moved = Files_Join(src, "moved");
    ASSERT_NO_FATAL_FAILURE(MakeSlowPipe(copied));
    Engine_RunJob(temp, 202, JOB_MODE_COPY, dst, {copied});
    EXPECT_TRUE(Files_HasBytes(Files_Join(dst, "copied"), "part1part2"));

    // A pipe's size is 0, its copy's is not: the move keeps it and says so.
    ASSERT_NO_FATAL_FAILURE(MakeSlowPipe(moved));
    std::string target = Engine_FolderOnOtherDrive(work, "pipe");
    DRIVER_COPIER copier = {};
    ASSERT_NO_FATAL_FAILURE(Start(&copier, JOB_MODE_MOVE, target, {moved}));
    std::string heading, text;
    ASSERT_NO_FATAL_FAILURE(
        Answer(&copier, "Error Moving File", IDC_ERROR_SKIP, &heading, &text));
    EXPECT_EQ("Cannot move " + Files_Lower(moved), heading);
    EXPECT_NE(std::string::npos, text.find("source is kept")) << text;
    ASSERT_TRUE(Driver_CloseSkippedList(&copier, NULL));
    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "moved"), "part1part2"));
    // Wine can't look at a pipe's attributes: the host tells it is there.
    std::string seen = Files_Join(src, "pipe.kept");
    Driver_RunUnix("test -p '" + Driver_UnixPath(moved) + "' && touch '" +
                   Driver_UnixPath(seen) + "'");
    EXPECT_TRUE(Driver_FileExists(seen)) << "the moved pipe is gone";
    // Pipes stop the next run's clean-up of this folder.
    Driver_RunUnix("rm -f '" + Driver_UnixPath(copied) + "' '" +
                   Driver_UnixPath(moved) + "'");
}

TEST_F(NothingLost, SkipAllPassesOverATargetThatCannotBeReplaced)
{
    std::string a = Engine_MakeFile(Files_Join(src, "a.bin"), 4000, 1);
    std::string b = Engine_MakeFile(Files_Join(src, "b.bin"), 4000, 2);
    std::string oldA = Files_Pattern(4000, 3), oldB = Files_Pattern(4000, 4);
    Files_MakeFile(Files_Join(dst, "a.bin"), oldA, Files_SeedTime(9));
    Files_MakeFile(Files_Join(dst, "b.bin"), oldB, Files_SeedTime(9));
    LOCKER lockA, lockB;
    ASSERT_TRUE(Locker_Hold(Files_Join(dst, "a.bin"), &lockA));
    ASSERT_TRUE(Locker_Hold(Files_Join(dst, "b.bin"), &lockB));

    DRIVER_COPIER copier = {};
    ASSERT_NO_FATAL_FAILURE(Start(&copier, JOB_MODE_COPY, dst,
                                  {Files_Join(src, "a.bin"),
                                   Files_Join(src, "b.bin")}));
    HWND question = Driver_WaitForDialog(&copier, "Confirm File Replace");
    ASSERT_TRUE(question != NULL);
    Driver_Click(question, IDC_REPLACE_YESTOALL);
    std::string heading;
    ASSERT_NO_FATAL_FAILURE(Answer(&copier, "Error Copying File",
                                   IDC_ERROR_SKIPALL, &heading));
    EXPECT_EQ("Cannot copy " + Files_Lower(Files_Join(dst, "a.bin")), heading);
    // b.bin fails the same way and is passed over without a word.
    std::string list;
    ASSERT_TRUE(Driver_CloseSkippedList(&copier, &list));
    EXPECT_NE(std::string::npos, list.find(Files_Join(dst, "a.bin"))) << list;
    EXPECT_NE(std::string::npos, list.find(Files_Join(dst, "b.bin"))) << list;
    Locker_Release(&lockA);
    Locker_Release(&lockB);
    EXPECT_TRUE(Files_HasBytes(Files_Join(dst, "a.bin"), oldA));
    EXPECT_TRUE(Files_HasBytes(Files_Join(dst, "b.bin"), oldB));
}

TEST_F(NothingLost, FolderNamedInAnotherLetterCaseIsStillItsOwnFolder)
{
    std::string folder = Files_Join(src, "Data");
    Files_MakeFolder(folder);
    std::string bytes = Engine_MakeFile(Files_Join(folder, "x.txt"), 3000, 6);
    Engine_RunJob(temp, 203, JOB_MODE_COPY, Files_Join(src, "data"),
                  {Files_Join(folder, "x.txt")});
    Engine_ExpectFile(Files_Join(folder, "Copy of x.txt"), bytes, 6);
}

TEST_F(NothingLost, MoveComparesAContinuedCopysKeptPartInFull)
{
    // The kept part's first and last chunk and its samples are the
    // source's; one byte between them is not.  A copy would continue it; a
    // move, which deletes the source afterwards, must not.
    std::string source = Files_Join(src, "big.bin");
    std::string bytes = Engine_MakeFile(source, 6000000, 7);
    std::string kept = bytes.substr(0, 3000000);
    size_t mark = Files_UncomparedOffset(kept.size());
    ASSERT_NE(0u, mark);
    kept[mark] = (char)~kept[mark];
    std::string target = Engine_FolderOnOtherDrive(work, "keptpart");
    Files_MakeFile(Files_Join(target, "big.bin"), kept, Files_SeedTime(7));

    DRIVER_COPIER copier = {};
    ASSERT_NO_FATAL_FAILURE(Start(&copier, JOB_MODE_MOVE, target, {source}));
    DRIVER_ANSWERS answers;
    answers.replaceButton = IDC_REPLACE_NO;
    EXPECT_TRUE(Driver_AnswerUntilExit(&copier, &answers, JOB_TIMEOUT_MS));
    EXPECT_EQ((std::vector<std::string>{"'big.bin'"}), answers.questions);
    EXPECT_EQ((std::vector<bool>{false}), answers.copyRestOffered);
    EXPECT_TRUE(Files_HasBytes(source, bytes)) << "the only good copy was lost";
    EXPECT_TRUE(Files_HasBytes(Files_Join(target, "big.bin"), kept));
}

}  // namespace
