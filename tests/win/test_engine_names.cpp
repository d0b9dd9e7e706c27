// What a folder listing holds, moved across drive letters: names the ANSI
// code page cannot hold are reported with a skip and stay, never copied
// under another name; a folder reached through a link is copied, but the
// move leaves the link and everything behind it where they are.
#include "test_engine_common.h"

#include "job_end.h"

#include <algorithm>

#include "resource_ids.h"

namespace {

class EngineNames : public EngineTest {};

TEST_F(EngineNames, NamesTheCodePageCannotHoldAreReportedAndStay)
{
    std::string folder = Files_Join(src, "names");
    Files_MakeFolder(folder);
    // "ā" would become "a" by best fit and replace the real a.txt; "日本"
    // would become "??", a name no file can have.  "é" survives.
    Files_MakeWideFile(folder, L"\x0101.txt", "macron");
    Files_MakeWideFile(folder, L"\x65E5\x672C.txt", "japanese");
    // Named through the other case of its drive letter, the folder is on
    // another drive to the copier: the move copies and deletes.
    std::string shownFolder = Files_OnOtherDrive(folder);
    std::string real = Engine_MakeFile(Files_Join(folder, "a.txt"), 3000, 1);
    std::string accent =
        Engine_MakeFile(Files_Join(folder, "\xE9.txt"), 2000, 2);

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, Files_TestName(), 401, JOB_MODE_MOVE,
                                dst, {shownFolder}));
    std::vector<std::string> headings;
    for (int i = 0; i < 2; i++) {
        HWND dialog = Driver_WaitForDialog(&run.copier, "Error Moving File");
        ASSERT_TRUE(dialog != NULL) << "report " << i + 1;
        headings.push_back(Driver_GetItemText(dialog, IDC_ERROR_HEADING));
        EXPECT_TRUE(Driver_IsItemEnabled(dialog, IDC_ERROR_SKIP));
        Driver_Click(dialog, IDC_ERROR_SKIP);
        ASSERT_TRUE(Driver_WaitForWindowGone(dialog));
    }
    // Both are listed again at the end of the job.
    std::string list;
    ASSERT_TRUE(Driver_CloseSkippedList(&run.copier, &list));
    EXPECT_NE(std::string::npos, list.find(shownFolder + "\\?.txt")) << list;
    EXPECT_NE(std::string::npos, list.find(shownFolder + "\\??.txt")) << list;

    std::sort(headings.begin(), headings.end());
    std::string shown = "Cannot move " + Files_Lower(shownFolder);
    EXPECT_EQ((std::vector<std::string>{shown + "\\?.txt", shown + "\\??.txt"}),
              headings);
    // The target holds the real a.txt and the accented name, nothing else.
    std::string moved = Files_Join(dst, "names");
    Engine_ExpectFile(Files_Join(moved, "a.txt"), real, 1);
    Engine_ExpectFile(Files_Join(moved, "\xE9.txt"), accent, 2);
    EXPECT_EQ((std::vector<std::string>{"a.txt", "\xE9.txt"}), Files_List(moved));
    // The two passed over stay in the source, the moved ones are gone.
    EXPECT_TRUE(Files_WideExists(folder, L"\x0101.txt"));
    EXPECT_TRUE(Files_WideExists(folder, L"\x65E5\x672C.txt"));
    EXPECT_FALSE(Driver_FileExists(Files_Join(folder, "a.txt")));
    EXPECT_FALSE(Driver_FileExists(Files_Join(folder, "\xE9.txt")));
}

TEST_F(EngineNames, MoveCopiesThroughALinkButLeavesItAndWhatLiesBehind)
{
    // src\tree\link -> src\outside, a folder outside the selection.
    std::string tree = Files_Join(src, "tree");
    std::string outside = Files_Join(src, "outside");
    Files_MakeFolder(tree);
    Files_MakeFolder(outside);
    std::string own = Engine_MakeFile(Files_Join(tree, "own.txt"), 1500, 1);
    std::string behind =
        Engine_MakeFile(Files_Join(outside, "behind.txt"), 2500, 2);
    Files_MakeFolder(Files_Join(outside, "deep"));
    std::string deep =
        Engine_MakeFile(Files_Join(outside, "deep\\deeper.txt"), 500, 3);
    ASSERT_TRUE(Driver_RunUnix("ln -s '" + Driver_UnixPath(outside) + "' '" +
                               Driver_UnixPath(tree) + "/link'"));
    std::string link = Files_Join(tree, "link");
    ASSERT_NE(0u, GetFileAttributesA(link.c_str()) &
                      FILE_ATTRIBUTE_REPARSE_POINT);

    std::string shownTree = Files_OnOtherDrive(tree);
    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, Files_TestName(), 402, JOB_MODE_MOVE,
                                dst, {shownTree}));
    // The end of the job says the link was not moved.
    std::string list;
    ASSERT_TRUE(Driver_CloseSkippedList(&run.copier, &list));
    EXPECT_NE(std::string::npos, list.find(Files_Join(shownTree, "link")))
        << list;

    // The link's contents arrive as a plain folder.
    std::string moved = Files_Join(dst, "tree");
    Engine_ExpectFile(Files_Join(moved, "own.txt"), own, 1);
    Engine_ExpectFile(Files_Join(moved, "link\\behind.txt"), behind, 2);
    Engine_ExpectFile(Files_Join(moved, "link\\deep\\deeper.txt"), deep, 3);
    // The selection's own file moved; the link and all behind it stay.
    EXPECT_EQ((std::vector<std::string>{"link"}), Files_List(tree));
    Engine_ExpectFile(Files_Join(outside, "behind.txt"), behind, 2);
    Engine_ExpectFile(Files_Join(outside, "deep\\deeper.txt"), deep, 3);
    Engine_ExpectFile(Files_Join(link, "behind.txt"), behind, 2);
    Driver_RunUnix("rm '" + Driver_UnixPath(tree) + "/link'");
}

}  // namespace
