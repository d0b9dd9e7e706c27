// The fault suite: a copy job and a move job over a tree of a few hundred
// files are killed at seeded random moments, as a power failure ends a
// program, relaunched each time through "tesrun.exe /startup" and Resume,
// and every question is answered "&Copy rest" (or "&Yes" where no rest is
// offered).  At the end the target equals the source - bytes, sizes,
// last-write times, attributes, and not one name more or less - and after
// the move no source is left.
#include "test_engine_common.h"

#include <iostream>
#include <map>
#include <set>

#include "child_processes.h"
#include "dialog_answers.h"
#include "installed_copier.h"
#include "progress_math.h"
#include "resource_ids.h"

namespace {

const int FAULT_FILES = 300;
const int FAULT_KILLS = 4;
const int FAULT_JOB = 400;
const DWORD FAULT_RUN_TIMEOUT_MS = 180000;

// A small generator of its own, so that a seed gives the same tree and the
// same kill moments on every machine.
struct FAULT_RANDOM {
    uint32_t state;
};

uint32_t Fault_Next(FAULT_RANDOM *random)
{
    random->state = random->state * 1664525u + 1013904223u;
    return random->state >> 8;
}

struct FAULT_FILE {
    std::string relative;
    std::string bytes;
    unsigned seed;          // its last-write time
    DWORD attributes;
};

struct FAULT_TREE {
    std::vector<std::string> folders;     // relative, parents first
    std::vector<FAULT_FILE> files;
};

// Sizes by kind: empty, a few bytes, one chunk, exactly one and two chunks,
// and files of several chunks with a short last one.
size_t Fault_Size(int index, FAULT_RANDOM *random)
{
    if (index % 29 == 7)
        return 1000000u * (1 + index % 2);
    if (index % 23 == 5)
        return 2000000 + Fault_Next(random) % 1500000;
    switch (index % 4) {
    case 0:
        return 0;
    case 1:
        return 1 + Fault_Next(random) % 4000;
    default:
        return 4000 + Fault_Next(random) % 150000;
    }
}

// Makes the tree below `root`: nested folders, names with blanks, and
// names that begin with a dot, as a working copy of a project holds them.
FAULT_TREE Fault_MakeTree(const std::string &root, unsigned seed)
{
    FAULT_TREE tree;
    tree.folders = {"",           "src",         "src\\core", "src\\core\\deep",
                    "docs",       "my files",    ".git",      ".git\\objects",
                    "empty"};
    static const char *const c_dotNames[] = {".env", ".gitignore", ".keep"};
    Files_MakeFolder(root);
    for (size_t i = 1; i < tree.folders.size(); i++)
        Files_MakeFolder(Files_Join(root, tree.folders[i]));
    FAULT_RANDOM random = {seed};
    for (int i = 0; i < FAULT_FILES; i++) {
        // The last folder stays empty.
        const std::string &folder = tree.folders[i % (tree.folders.size() - 1)];
        std::string name = i < 3 ? c_dotNames[i] : "f" + std::to_string(i) +
                                                       (i % 5 ? ".bin" : ".t x t");
        FAULT_FILE file;
        file.relative = folder.empty() ? name : folder + "\\" + name;
        file.seed = seed + (unsigned)i;
        file.bytes = Files_Pattern(Fault_Size(i, &random), file.seed);
        std::string path = Files_Join(root, file.relative);
        Files_MakeFile(path, file.bytes, Files_SeedTime(file.seed));
        if (i % 31 == 11)
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN |
                                                 FILE_ATTRIBUTE_ARCHIVE);
        file.attributes = GetFileAttributesA(path.c_str());
        tree.files.push_back(file);
    }
    return tree;
}

// Every folder of the copy holds exactly the names of the source's.
void Fault_ExpectTree(const FAULT_TREE &tree, const std::string &root)
{
    std::map<std::string, std::set<std::string>> names;
    for (size_t i = 1; i < tree.folders.size(); i++) {
        const std::string &folder = tree.folders[i];
        size_t cut = folder.rfind('\\');
        names[cut == std::string::npos ? "" : folder.substr(0, cut)].insert(
            cut == std::string::npos ? folder : folder.substr(cut + 1));
    }
    for (const FAULT_FILE &file : tree.files) {
        size_t cut = file.relative.rfind('\\');
        names[cut == std::string::npos ? "" : file.relative.substr(0, cut)]
            .insert(cut == std::string::npos ? file.relative
                                             : file.relative.substr(cut + 1));
        std::string path = Files_Join(root, file.relative);
        EXPECT_TRUE(Files_HasBytes(path, file.bytes)) << file.relative;
        EXPECT_TRUE(Files_HasWriteTime(path, Files_SeedTime(file.seed)))
            << file.relative;
        EXPECT_EQ(file.attributes, GetFileAttributesA(path.c_str()))
            << file.relative;
    }
    for (const std::string &folder : tree.folders) {
        std::vector<std::string> listed =
            Files_List(folder.empty() ? root : Files_Join(root, folder));
        std::vector<std::string> expected(names[folder].begin(),
                                          names[folder].end());
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(expected, listed) << "in \"" << folder << "\"";
    }
}

// Takes out the errors that report `source` itself as not found.
void Fault_DropMissingSourceErrors(DRIVER_ANSWERS *answers,
                                   const std::string &source)
{
    std::string heading = "Cannot move " + Files_Lower(source);
    for (size_t i = answers->errors.size(); i-- > 0;) {
        if (answers->errors[i] == heading &&
            answers->errorTexts[i].find("not found") != std::string::npos) {
            answers->errors.erase(answers->errors.begin() + i);
            answers->errorTexts.erase(answers->errorTexts.begin() + i);
        }
    }
}

// The resume scan starts the Windows folder's tesrun.exe: the copier under
// test takes that place while the suite runs.
class FaultSuite : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(Driver_InstallCopier(
            &installed, Files_Join(Driver_BinFolder(), "tesrun.exe")));
    }

    // Lets the copier run, answering its questions, until its progress bar
    // reaches `position`.  Returns false when it ended first.
    bool RunUntil(DRIVER_COPIER *copier, HWND window, int position)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < FAULT_RUN_TIMEOUT_MS) {
            if (Driver_WaitForExit(copier, 5))
                return false;
            if (!Driver_AnswerOpenDialogs(copier, &answers))
                return false;
            if (Driver_GetProgressPosition(window, IDC_PROGRESS_BAR) >= position)
                return true;
        }
        ADD_FAILURE() << "the copier never reached the kill moment";
        return false;
    }

    // "/startup" relaunches the killed job paused; Resume goes on with it.
    HWND Relaunch(DRIVER_COPIER *copier)
    {
        DRIVER_COPIER scan = {};
        EXPECT_TRUE(Driver_StartCopier(temp, "/startup", &scan));
        bool found = Driver_WaitForChild(&scan, copier);
        Driver_WaitForExit(&scan);
        Driver_Kill(&scan);
        EXPECT_TRUE(found) << "the resume scan relaunched nothing";
        return found ? Resume(copier) : NULL;
    }

    // A copier that opened paused: the speed limit, if any, then Resume.
    HWND Resume(DRIVER_COPIER *copier)
    {
        HWND window = Driver_WaitForProgressWindow(copier);
        if (!window || !Driver_WaitForTitle(window, "Ready to resume..."))
            return NULL;
        if (sliderPosition >= 0)
            Driver_SetSlider(window, IDC_PROGRESS_SLIDER, sliderPosition);
        Driver_Click(window, IDC_PROGRESS_PAUSE);
        return window;
    }

    // Runs the job, killing it at FAULT_KILLS seeded moments, each in its
    // own stretch of the progress bar, then lets the last relaunch finish.
    void RunWithKills(int mode, const std::string &target,
                      const std::string &source, unsigned seed)
    {
        std::string jobFile = Driver_WriteJob(temp, FAULT_JOB, mode, target,
                                              {source});
        answers = DRIVER_ANSWERS();
        answers.replaceButton = IDC_REPLACE_COPYREST;
        FAULT_RANDOM random = {seed};
        DRIVER_COPIER copier = {};
        ASSERT_TRUE(
            Driver_StartCopier(temp, std::to_string(FAULT_JOB) + "R", &copier));
        HWND window = Resume(&copier);
        int kills = 0;
        // A move's relaunch counts only what is left; near its end a run
        // may finish between two refreshes of the bar, so the moments lie
        // in the first seven tenths of it.
        const int stretch = PROGRESS_BAR_RANGE * 7 / 10 / FAULT_KILLS;
        for (int k = 0; k < FAULT_KILLS && window; k++) {
            int position = k * stretch + 1 + (int)(Fault_Next(&random) % stretch);
            if (!RunUntil(&copier, window, position))
                break;
            Driver_Kill(&copier);
            kills++;
            ASSERT_TRUE(Driver_FileExists(jobFile)) << "a killed job lost its file";
            window = Relaunch(&copier);
        }
        ASSERT_TRUE(window != NULL) << "no relaunched copier to resume";
        EXPECT_GE(kills, 2) << "the job ended before its kill moments";
        bool ended =
            Driver_AnswerUntilExit(&copier, &answers, FAULT_RUN_TIMEOUT_MS);
        Driver_Kill(&copier);
        ASSERT_TRUE(ended) << "the last relaunch did not finish the job";
        // A kill can land after a move has taken its last file and removed
        // the source, but before the finished copier deleted its job file,
        // as a power failure can: the relaunch then reports the source as
        // not found, with a skip.  Nothing is lost there; every other error
        // is a fault.
        if (mode == JOB_MODE_MOVE && !Driver_FileExists(source))
            Fault_DropMissingSourceErrors(&answers, source);
        EXPECT_TRUE(answers.errors.empty())
            << answers.errors.size() << " errors, the first: "
            << (answers.errors.empty() ? ""
                                       : answers.errors[0] + ": " +
                                             answers.errorTexts[0]);
        EXPECT_FALSE(Driver_FileExists(jobFile));
        std::cout << "[ fault    ] " << kills << " kills, "
                  << answers.questions.size() << " questions answered\n";
    }

    DRIVER_INSTALLED_COPIER installed;
    DRIVER_ANSWERS answers;
    int sliderPosition = -1;      // the speed slider's position, -1 none
};

TEST_F(FaultSuite, KilledCopyEndsWithTheTargetEqualToTheSource)
{
    std::string source = Files_Join(src, "tree");
    FAULT_TREE tree = Fault_MakeTree(source, 1000);
    std::string target = Engine_FolderOnDriveC("fault_copy");
    // Unlimited, an idle machine copies the tree between two refreshes of
    // the bar and the job ends before its first kill moment.  At 5000
    // KB/Sec it lasts about 13 s on any machine.
    sliderPosition = 19;
    ASSERT_NO_FATAL_FAILURE(RunWithKills(JOB_MODE_COPY, target, source, 17));
    Fault_ExpectTree(tree, Files_Join(target, "tree"));
    Fault_ExpectTree(tree, source);
}

TEST_F(FaultSuite, KilledMoveEndsWithEveryFileOnceAndNoSourceLeft)
{
    std::string source = Files_Join(src, "tree");
    FAULT_TREE tree = Fault_MakeTree(source, 2000);
    std::string target = Engine_FolderOnDriveC("fault_move");
    sliderPosition = 19;        // as for the copy: time for every kill
    ASSERT_NO_FATAL_FAILURE(RunWithKills(JOB_MODE_MOVE, target, source, 29));
    Fault_ExpectTree(tree, Files_Join(target, "tree"));
    for (const FAULT_FILE &file : tree.files)
        EXPECT_FALSE(Driver_FileExists(Files_Join(source, file.relative)))
            << file.relative << " was copied but not moved";
    EXPECT_FALSE(Driver_FileExists(source)) << "the moved folder is still there";
}

TEST_F(FaultSuite, KilledCopyIntoItsOwnFolderContinuesItsCopyOf)
{
    std::string big = Files_Join(src, "big.bin");
    std::string bytes = Engine_MakeFile(big, 12000000 + 4321, 3000);
    // One file is copied faster than the bar is refreshed: at 5000 KB/Sec
    // it takes a few seconds, time enough for the kill moments.
    sliderPosition = 19;
    ASSERT_NO_FATAL_FAILURE(RunWithKills(JOB_MODE_COPY, src, big, 41));
    Engine_ExpectFile(Files_Join(src, "Copy of big.bin"), bytes, 3000);
    EXPECT_EQ(std::vector<std::string>({"Copy of big.bin", "big.bin"}),
              Files_List(src))
        << "a relaunch drew a new name instead of continuing its copy";
}

}  // namespace
