// A copy stopped inside a file, then run again: the cut-off target bears
// the source's time, so the next run continues it from its end without a
// question, and files finished before the stop are passed over.
#include "test_engine_common.h"

#include "resource_ids.h"

namespace {

const size_t BIG_SIZE = 64 * 1000000 + 4321;   // many chunks, a short last one
const LONGLONG CUT_AT_LEAST = 3000000;         // of big.bin before the stop

typedef EngineTest EngineResume;

TEST_F(EngineResume, CopyStoppedInsideAFileIsContinuedWithoutAQuestion)
{
    std::string done = Engine_MakeFile(Files_Join(src, "done.txt"), 5000, 1);
    std::string big = Engine_MakeFile(Files_Join(src, "big.bin"), BIG_SIZE, 2);
    std::string after = Engine_MakeFile(Files_Join(src, "after.txt"), 3000, 3);
    std::vector<std::string> sources = {Files_Join(src, "done.txt"),
                                        Files_Join(src, "big.bin"),
                                        Files_Join(src, "after.txt")};
    std::string bigTarget = Files_Join(dst, "big.bin");

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, Files_TestName(), 321, JOB_MODE_COPY,
                                dst, sources, "321R"));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
    // At 5000 KB/Sec the big file takes more than twelve seconds, however
    // fast the machine: time enough to stop the copy inside it.
    Driver_SetSlider(window, IDC_PROGRESS_SLIDER, 19);
    ASSERT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_LIMIT, "5000 KB/Sec"));
    Driver_Click(window, IDC_PROGRESS_PAUSE);
    ASSERT_TRUE(Files_WaitForSize(bigTarget, CUT_AT_LEAST));
    // Cancel lets the runner finish the chunk it writes, give the target
    // the source's times and close it, as between two chunks a power
    // failure finds it.
    Driver_Click(window, IDC_PROGRESS_CANCEL);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier));
    LONGLONG cut = Files_Size(bigTarget);
    ASSERT_GE(cut, CUT_AT_LEAST);
    ASSERT_LT(cut, (LONGLONG)BIG_SIZE);

    // The cut-off target already bears the source's time: that is what
    // marks it as a copy to be continued rather than a foreign file.
    EXPECT_TRUE(Files_HasWriteTime(bigTarget, Files_SeedTime(2)));
    // One byte is changed on purpose where the check of a partial copy does
    // not look: only a true continue keeps it.
    size_t mark = Files_UncomparedOffset((size_t)cut);
    ASSERT_NE(0u, mark);
    ASSERT_TRUE(Files_FlipByte(bigTarget, mark));
    std::string expected = big;
    expected[mark] = (char)~expected[mark];

    // The finished file is marked: same size and time, other bytes.  A run
    // that passes it over leaves the mark; one that copies it again not.
    std::string marked(done.size(), 'M');
    Files_MakeFile(Files_Join(dst, "done.txt"), marked, Files_SeedTime(1));

    Engine_RunJob(run.temp, 321, JOB_MODE_COPY, dst, sources, 120000);

    Engine_ExpectFile(bigTarget, expected, 2);
    Engine_ExpectFile(Files_Join(dst, "after.txt"), after, 3);
    Engine_ExpectFile(Files_Join(dst, "done.txt"), marked, 1);
}

}  // namespace
