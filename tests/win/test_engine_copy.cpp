// The engine end to end under Wine: a nested tree copied, moved on the same
// drive (one rename) and to another drive letter (copy and delete); "Copy
// of" names for items dropped into their own folder; merging into an
// existing folder; names beginning with a dot copied and moved like any
// other.
#include "test_engine_common.h"

namespace {

const size_t CHUNK = 1000000;

// `root`: files of several chunk counts (2,000,000 bytes is exactly two
// chunks and ends with an empty read), an empty file, read-only and hidden
// files, subfolders at two depths, an empty folder, and dot-names (a file
// and a folder with a file inside), which are items like any other.
// Returns what it made.
FILES_TREE Engine_MakeTree(const std::string &root)
{
    Files_MakeFolder(root);
    Files_MakeFolder(Files_Join(root, "sub"));
    Files_MakeFolder(Files_Join(root, "sub\\deeper"));
    Files_MakeFolder(Files_Join(root, "sub\\emptydir"));
    Files_MakeFolder(Files_Join(root, ".dotdir"));
    struct { const char *name; size_t size; unsigned seed; DWORD attributes; } files[] = {
        {"big.bin", 2 * CHUNK + 500000, 1, 0},
        {"exact.bin", 2 * CHUNK, 2, 0},
        {"empty.txt", 0, 3, 0},
        {"ro.txt", 100, 4, FILE_ATTRIBUTE_READONLY},
        {"hid.txt", 50, 5, FILE_ATTRIBUTE_HIDDEN},
        {"sub\\b.txt", 3000, 6, 0},
        {"sub\\deeper\\c.bin", 70000, 7, 0},
        {".dotfile", 10, 20, 0},
        {".dotdir\\inside.txt", 10, 21, 0},
    };
    for (const auto &file : files) {
        std::string path = Files_Join(root, file.name);
        Engine_MakeFile(path, file.size, file.seed);
        if (file.attributes) {
            EXPECT_TRUE(SetFileAttributesA(path.c_str(), file.attributes));
        }
    }
    // Wine shows a Unix name beginning with a dot as hidden: the copy must
    // carry what the source has, whatever set it.
    return Files_Snapshot(root);
}

// Lets the test area be cleaned up after a test that made read-only files.
void Engine_ClearReadOnly(const std::string &path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

class EngineCopy : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (HasFatalFailure())
            return;
        tree = Engine_MakeTree(Files_Join(src, "tree"));
        single = Engine_MakeFile(Files_Join(src, "single.txt"), 1234, 9);
    }
    void TearDown() override
    {
        Engine_ClearReadOnly(Files_Join(src, "tree\\ro.txt"));
        Engine_ClearReadOnly(Files_Join(dst, "tree\\ro.txt"));
    }
    std::vector<std::string> Sources()
    {
        return {Files_Join(src, "tree"), Files_Join(src, "single.txt")};
    }

    FILES_TREE tree;
    std::string single;
};

TEST_F(EngineCopy, NestedTreeArrivesWholeAndSourcesStay)
{
    Engine_RunJob(temp, 123, JOB_MODE_COPY, dst, Sources());

    EXPECT_TRUE(Files_HasTree(Files_Join(dst, "tree"), tree));
    Engine_ExpectFile(Files_Join(dst, "single.txt"), single, 9);
    // A copy leaves its sources as they were.
    EXPECT_TRUE(Files_HasTree(Files_Join(src, "tree"), tree));
    Engine_ExpectFile(Files_Join(src, "single.txt"), single, 9);
}

TEST_F(EngineCopy, MoveOnTheSameDriveRenamesWholeItems)
{
    Engine_RunJob(temp, 123, JOB_MODE_MOVE, dst, Sources());

    EXPECT_TRUE(Files_HasTree(Files_Join(dst, "tree"), tree));
    Engine_ExpectFile(Files_Join(dst, "single.txt"), single, 9);
    EXPECT_EQ(std::vector<std::string>(), Files_List(src));
}

TEST_F(EngineCopy, MoveToAnotherDriveCopiesThenDeletesTheSources)
{
    // The sources named through the other case of their drive letter:
    // another drive to the copier.
    std::string other = Files_OnOtherDrive(src);

    Engine_RunJob(temp, 123, JOB_MODE_MOVE, dst,
                  {Files_Join(other, "tree"), Files_Join(other, "single.txt")});

    EXPECT_TRUE(Files_HasTree(Files_Join(dst, "tree"), tree));
    Engine_ExpectFile(Files_Join(dst, "single.txt"), single, 9);
    // Every copied file is gone from the source, the read-only one and the
    // dot-names too, and every emptied folder removed.
    EXPECT_EQ(std::vector<std::string>(), Files_List(src));
}

TEST_F(EngineCopy, ItemsDroppedIntoTheirOwnFolderBecomeNumberedCopies)
{
    std::string treeFolder = Files_Join(src, "tree");
    FILES_TREE sub = Files_Snapshot(Files_Join(treeFolder, "sub"));
    for (int run = 0; run < 3; run++) {
        Engine_RunJob(temp, 123, JOB_MODE_COPY, src,
                      {Files_Join(src, "single.txt")});
        Engine_RunJob(temp, 124, JOB_MODE_COPY, treeFolder,
                      {Files_Join(treeFolder, "sub")});
    }

    for (const char *name : {"Copy of single.txt", "Copy (1) of single.txt",
                             "Copy (2) of single.txt"})
        Engine_ExpectFile(Files_Join(src, name), single, 9);
    EXPECT_EQ(5u, Files_List(src).size());     // tree, single.txt, 3 copies
    // Each copy whole, and never a copy inside a copy.
    for (const char *name : {"Copy of sub", "Copy (1) of sub", "Copy (2) of sub"})
        EXPECT_TRUE(Files_HasTree(Files_Join(treeFolder, name), sub));
    EXPECT_EQ(8u + 3u, Files_List(treeFolder).size());
    // The original is untouched.
    EXPECT_TRUE(Files_HasTree(Files_Join(treeFolder, "sub"), sub));
}

TEST_F(EngineCopy, FolderOfTheSameNameIsMergedInto)
{
    std::string existing = Files_Join(dst, "tree");
    Files_MakeFolder(existing);
    Files_MakeFolder(Files_Join(existing, "sub"));
    Engine_MakeFile(Files_Join(existing, "keep.txt"), 77, 30);
    Engine_MakeFile(Files_Join(existing, "sub\\keep2.txt"), 88, 31);
    FILES_TREE merged = Files_Snapshot(existing);

    Engine_RunJob(temp, 123, JOB_MODE_COPY, dst, Sources());

    // What was there stays, and the source's tree is added to it.
    for (const FILES_ENTRY &entry : tree)
        if (entry.relative != "sub")
            merged.push_back(entry);
    EXPECT_TRUE(Files_HasTree(existing, merged));
    EXPECT_EQ((std::vector<std::string>{"single.txt", "tree"}),
              Files_List(dst));
}

}  // namespace
