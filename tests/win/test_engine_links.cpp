// Links as a user's disk has them (made with ln -s): a folder link back to
// an ancestor is entered once, not for ever; a target reached through
// another drive letter that lies inside its source is refused; a move
// leaves a file link, and what it points to, where they are.  Whatever a
// job leaves out is listed at its end.
#include "test_engine_common.h"

#include "drive_letters.h"
#include "job_end.h"

namespace {

class EngineLinks : public EngineTest {
protected:
    // A link at `link` (a Windows path) to `target` (a Windows path).
    void MakeLink(const std::string &target, const std::string &link)
    {
        ASSERT_TRUE(Driver_RunUnix("ln -sfn '" + Driver_UnixPath(target) +
                                   "' '" + Driver_UnixPath(link) + "'"));
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(link.c_str()));
    }

    // Runs the job to its end and returns the list of items left out.
    std::string RunToTheList(int mode, const std::string &target,
                             const std::vector<std::string> &sources)
    {
        DRIVER_RUN run;
        std::string list;
        EXPECT_TRUE(Driver_StartJob(&run, Files_TestName(), 300, mode, target,
                                    sources));
        EXPECT_TRUE(Driver_CloseSkippedList(&run.copier, &list))
            << "the job did not end with its list of items left out";
        return list;
    }
};

TEST_F(EngineLinks, FolderLinksBackToAnAncestorAreEnteredOnceAndListed)
{
    // tree\again -> tree, and tree\sub\here -> tree\sub: two loops.
    std::string tree = Files_Join(src, "tree");
    Files_MakeFolder(tree);
    Files_MakeFolder(Files_Join(tree, "sub"));
    std::string a = Engine_MakeFile(Files_Join(tree, "a.txt"), 3000, 1);
    std::string b = Engine_MakeFile(Files_Join(tree, "sub\\b.txt"), 4000, 2);
    MakeLink(tree, Files_Join(tree, "again"));
    MakeLink(Files_Join(tree, "sub"), Files_Join(tree, "sub\\here"));

    std::string list = RunToTheList(JOB_MODE_COPY, dst, {tree});

    std::string copy = Files_Join(dst, "tree");
    EXPECT_EQ((std::vector<std::string>{"a.txt", "sub"}), Files_List(copy));
    EXPECT_EQ((std::vector<std::string>{"b.txt"}),
              Files_List(Files_Join(copy, "sub")));
    Engine_ExpectFile(Files_Join(copy, "a.txt"), a, 1);
    Engine_ExpectFile(Files_Join(copy, "sub\\b.txt"), b, 2);
    EXPECT_NE(std::string::npos, list.find(Files_Join(tree, "again")));
    EXPECT_NE(std::string::npos, list.find(Files_Join(tree, "sub\\here")));
    EXPECT_NE(std::string::npos, list.find("not entered again")) << list;
}

TEST_F(EngineLinks, TargetInsideItsSourceThroughAnotherDriveLetterIsRefused)
{
    std::string tree = Files_Join(src, "tree");
    Files_MakeFolder(tree);
    Files_MakeFolder(Files_Join(tree, "inner"));
    Engine_MakeFile(Files_Join(tree, "a.txt"), 2000, 1);
    DRIVER_DRIVE drive;
    std::string root = Driver_MapDrive(&drive, 'Q', src);
    ASSERT_FALSE(root.empty()) << "no second drive letter";
    std::string target = root + "tree\\inner";      // tree\inner, by Q:

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, Files_TestName(), 301, JOB_MODE_COPY,
                                target, {tree}));
    HWND refusal = Driver_WaitForDialog(&run.copier, "Error Copying Folder");
    ASSERT_TRUE(refusal != NULL) << "copied into itself";
    Driver_Click(refusal, IDOK);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier));
    EXPECT_TRUE(Files_List(Files_Join(tree, "inner")).empty());
}

TEST_F(EngineLinks, MoveLeavesAFileLinkAndWhatItPointsTo)
{
    std::string tree = Files_Join(src, "tree");
    std::string outside = Files_Join(src, "outside");
    Files_MakeFolder(tree);
    Files_MakeFolder(outside);
    std::string behind = Engine_MakeFile(Files_Join(outside, "doc.txt"), 5000, 3);
    std::string link = Files_Join(tree, "doc.txt");
    MakeLink(Files_Join(outside, "doc.txt"), link);
    if (!(GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "Wine lists a symbolic link to a file as a plain "
                        "file (no reparse point), so no program can tell it "
                        "is a link here; the rule is tested natively";
    std::string target = Engine_FolderOnOtherDrive(work, "filelink");

    std::string list = RunToTheList(JOB_MODE_MOVE, target, {tree});

    Engine_ExpectFile(Files_Join(target, "tree\\doc.txt"), behind, 3);
    Engine_ExpectFile(Files_Join(outside, "doc.txt"), behind, 3);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(link.c_str()));
    EXPECT_NE(std::string::npos, list.find(link)) << list;
}

}  // namespace
