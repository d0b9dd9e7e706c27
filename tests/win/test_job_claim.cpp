// One copier per job, but never none: a copier relaunched while another
// still holds the job (one that is just ending) waits for it to let go and
// then runs the job, instead of leaving it to the next logon.
#include "test_engine_common.h"

#include "resource_ids.h"

namespace {

TEST(JobClaim, RelaunchWaitsForAnEndingHolderAndThenRunsTheJob)
{
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("claim", &scene));
    std::string source = Files_Join(scene.src, "f.bin");
    std::string bytes = Files_Pattern(4000, 1);
    Files_MakeFile(source, bytes, Files_SeedTime(1));

    // The holder waits paused in "Ready to resume..." with the job claimed.
    DRIVER_RUN holder;
    ASSERT_TRUE(Driver_StartJob(&holder, "claim", 230, JOB_MODE_COPY,
                                scene.dst, {source}, "230R"));
    DRIVER_RUN relaunch;      // ended with the test, whatever happens
    DRIVER_COPIER &second = relaunch.copier;
    ASSERT_TRUE(Driver_StartCopier(holder.temp, "230R", &second));
    // While the holder lives, the second one waits without a window.  One
    // that gave up would have ended by now.
    DWORD exitCode = 0;
    bool sawWindow = false;
    EXPECT_FALSE(Driver_WaitForExitWithoutWindow(&second, 3000, &exitCode,
                                                 &sawWindow))
        << "the second copier gave the job up";
    EXPECT_FALSE(sawWindow) << "two copiers run one job";

    // The holder ends as a killed process ends: its claim is let go.
    Driver_Kill(&holder.copier);
    HWND window = Driver_WaitForProgressWindow(&second);
    ASSERT_TRUE(window != NULL) << "the job was left to the next logon";
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(Driver_WaitForExit(&second));
    Engine_ExpectFile(Files_Join(scene.dst, "f.bin"), bytes, 1);
    EXPECT_FALSE(Driver_FileExists(holder.jobFile));
}

}  // namespace
