// The fault suite: a copy job and a move job over a tree of a few hundred
// files are killed at four seeded random moments each, as a power failure
// ends a program, relaunched each time through "tesrun.exe /startup" and
// Resume, and every question is answered "&Copy rest" (or "&Yes" where no
// rest is offered).  At the end the target equals the source - bytes,
// sizes, last-write times, attributes, and not one name more or less -
// after the move no source is left, and no run reported an error.
#include "test_engine_common.h"

#include <iostream>

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
// Every run is held to 5000 KB/Sec: a fast machine would otherwise finish
// a run between two refreshes of the progress bar, before its kill moment.
// The limit only slows the copy; where the kills land stays random.
const int FAULT_SLIDER_POSITION = 19;

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

// Sizes by kind: empty, a few bytes, less than a chunk, exactly one and
// two chunks, and files of two chunks with a short last one.
size_t Fault_Size(int index, FAULT_RANDOM *random)
{
    if (index % 97 == 7)
        return 1000000u * (1 + index % 2);
    if (index % 59 == 5)
        return 1200000 + Fault_Next(random) % 800000;
    switch (index % 4) {
    case 0:
        return 0;
    case 1:
        return 1 + Fault_Next(random) % 4000;
    default:
        return 4000 + Fault_Next(random) % 60000;
    }
}

// Makes the tree below `root`: nested folders, names with blanks, and
// names that begin with a dot, as a working copy of a project holds them.
// Returns what it made.
FILES_TREE Fault_MakeTree(const std::string &root, unsigned seed)
{
    const std::vector<std::string> folders = {
        "",     "src",      "src\\core", "src\\core\\deep", "docs",
        "my files", ".git", ".git\\objects", "empty"};
    static const char *const c_dotNames[] = {".env", ".gitignore", ".keep"};
    Files_MakeFolder(root);
    for (size_t i = 1; i < folders.size(); i++)
        Files_MakeFolder(Files_Join(root, folders[i]));
    FAULT_RANDOM random = {seed};
    for (int i = 0; i < FAULT_FILES; i++) {
        // The last folder stays empty.
        const std::string &folder = folders[i % (folders.size() - 1)];
        std::string name = i < 3 ? c_dotNames[i] : "f" + std::to_string(i) +
                                                       (i % 5 ? ".bin" : ".t x t");
        std::string path = Files_Join(
            root, folder.empty() ? name : folder + "\\" + name);
        unsigned fileSeed = seed + (unsigned)i;
        Files_MakeFile(path, Files_Pattern(Fault_Size(i, &random), fileSeed),
                       Files_SeedTime(fileSeed));
        if (i % 31 == 11)
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN |
                                                 FILE_ATTRIBUTE_ARCHIVE);
    }
    return Files_Snapshot(root);
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
        EXPECT_TRUE(Driver_WaitForExit(&scan)) << "the resume scan did not end";
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
        Driver_SetSlider(window, IDC_PROGRESS_SLIDER, FAULT_SLIDER_POSITION);
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
        ASSERT_FALSE(jobFile.empty());
        answers = DRIVER_ANSWERS();
        answers.replaceButton = IDC_REPLACE_COPYREST;
        FAULT_RANDOM random = {seed};
        DRIVER_COPIER copier = {};
        ASSERT_TRUE(
            Driver_StartCopier(temp, std::to_string(FAULT_JOB) + "R", &copier));
        HWND window = Resume(&copier);
        int kills = 0;
        // A move's relaunch counts only what is left, so the moments lie in
        // the first seven tenths of the bar: held to its limit, a run never
        // gets from there to its end between two refreshes.
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
        EXPECT_EQ(FAULT_KILLS, kills) << "the job ended before its kill moments";
        bool ended =
            Driver_AnswerUntilExit(&copier, &answers, FAULT_RUN_TIMEOUT_MS);
        Driver_Kill(&copier);
        ASSERT_TRUE(ended) << "the last relaunch did not finish the job";
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
};

TEST_F(FaultSuite, KilledCopyEndsWithTheTargetEqualToTheSource)
{
    std::string source = Files_Join(src, "tree");
    FILES_TREE tree = Fault_MakeTree(source, 1000);
    std::string target = Engine_FolderOnOtherDrive(work, "fault_copy");
    ASSERT_NO_FATAL_FAILURE(RunWithKills(JOB_MODE_COPY, target, source, 17));
    EXPECT_TRUE(Files_HasTree(Files_Join(target, "tree"), tree));
    EXPECT_TRUE(Files_HasTree(source, tree));
}

TEST_F(FaultSuite, KilledMoveEndsWithEveryFileOnceAndNoSourceLeft)
{
    std::string source = Files_Join(src, "tree");
    FILES_TREE tree = Fault_MakeTree(source, 2000);
    std::string target = Engine_FolderOnOtherDrive(work, "fault_move");
    ASSERT_NO_FATAL_FAILURE(RunWithKills(JOB_MODE_MOVE, target, source, 29));
    EXPECT_TRUE(Files_HasTree(Files_Join(target, "tree"), tree));
    EXPECT_FALSE(Driver_FileExists(source))
        << "the moved folder is still there, holding "
        << Files_Snapshot(source).size() << " entries";
}

TEST_F(FaultSuite, KilledCopyIntoItsOwnFolderContinuesItsCopyOf)
{
    std::string big = Files_Join(src, "big.bin");
    std::string bytes = Engine_MakeFile(big, 12000000 + 4321, 3000);
    ASSERT_NO_FATAL_FAILURE(RunWithKills(JOB_MODE_COPY, src, big, 41));
    Engine_ExpectFile(Files_Join(src, "Copy of big.bin"), bytes, 3000);
    EXPECT_EQ(std::vector<std::string>({"Copy of big.bin", "big.bin"}),
              Files_List(src))
        << "a relaunch drew a new name instead of continuing its copy";
}

}  // namespace
