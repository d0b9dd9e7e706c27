// What a folder listing holds, moved across drive letters: names the ANSI
// code page cannot hold arrive as themselves, never under another name; a
// folder reached through a link is copied, but the move leaves the link and
// everything behind it where they are.
#include "test_engine_common.h"

#include "job_end.h"

#include <algorithm>

#include "resource_ids.h"
#include "wide_files.h"

namespace {

class EngineNames : public EngineTest {};

TEST_F(EngineNames, NamesOutsideTheCodePageAreMovedAsThemselves)
{
    std::string folder = Files_Join(src, "names");
    Files_MakeFolder(folder);
    // "ā" would become "a" by best fit and replace the real a.txt; "日本"
    // would become "??", a name no file can have.  "é" is in the code page.
    Files_MakeWideFile(folder, L"\x0101.txt", "macron");
    Files_MakeWideFile(folder, L"\x65E5\x672C.txt", "japanese");
    // Named through the other case of its drive letter, the folder is on
    // another drive to the copier: the move copies and deletes.
    std::string shownFolder = Files_OnOtherDrive(folder);
    std::string real = Engine_MakeFile(Files_Join(folder, "a.txt"), 3000, 1);
    std::string accent =
        Engine_MakeFile(Files_Join(folder, "\xE9.txt"), 2000, 2);

    Engine_RunJob(temp, 401, JOB_MODE_MOVE, dst, {shownFolder});

    // Every name arrives as itself, the neighbours apart; none stays.
    std::string moved = Files_Join(dst, "names");
    Engine_ExpectFile(Files_Join(moved, "a.txt"), real, 1);
    Engine_ExpectFile(Files_Join(moved, "\xE9.txt"), accent, 2);
    std::string bytes;
    ASSERT_TRUE(Driver_ReadFileU(moved + u8"\\ā.txt", &bytes));
    EXPECT_EQ("macron", bytes);
    ASSERT_TRUE(Driver_ReadFileU(moved + u8"\\日本.txt", &bytes));
    EXPECT_EQ("japanese", bytes);
    EXPECT_EQ(4u, Files_ListU(moved).size());
    EXPECT_FALSE(Driver_FileExists(folder)) << "the moved folder stayed";
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
