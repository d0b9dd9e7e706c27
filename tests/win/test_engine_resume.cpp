// A copier killed in the middle of a file, then run again on the same job:
// the partial target is continued to a byte-identical end without any
// question, and files finished before the kill are passed over.
#include "test_engine_common.h"

#include "resource_ids.h"

namespace {

const size_t BIG_SIZE = 64 * 1000000 + 4321;   // many chunks, a short last one

// Waits until the file's size has stayed the same over `quietMs`.
LONGLONG Engine_WaitForSteadySize(const std::string &path, DWORD quietMs)
{
    LONGLONG last = Files_Size(path);
    DWORD start = GetTickCount();
    DWORD since = GetTickCount();
    while (GetTickCount() - start < DRIVER_TIMEOUT_MS) {
        Sleep(20);
        LONGLONG now = Files_Size(path);
        if (now != last) {
            last = now;
            since = GetTickCount();
        } else if (GetTickCount() - since >= quietMs) {
            break;
        }
    }
    return last;
}

// Lets the paused copier run for a moment at a time until the runner stands
// paused inside the big file.  Returns the target's size then (0 < size <
// BIG_SIZE), or BIG_SIZE / -1 when it ran past or never got there.
LONGLONG Engine_StopInsideBigFile(DRIVER_COPIER *copier, HWND window,
                                  const std::string &bigTarget)
{
    for (int round = 0; round < 200; round++) {
        Driver_Click(window, IDC_PROGRESS_PAUSE);     // Resume
        Driver_Click(window, IDC_PROGRESS_PAUSE);     // Pause again at once
        if (!Driver_WaitForItemText(window, IDC_PROGRESS_PAUSE, "Resume"))
            return -1;
        // The runner notices the pause after the chunk it is writing.
        LONGLONG size = Engine_WaitForSteadySize(bigTarget, 300);
        if (size > 0)
            return size;
        if (WaitForSingleObject(copier->process.hProcess, 0) == WAIT_OBJECT_0)
            return -1;
    }
    return -1;
}

TEST(EngineResume, KilledCopyIsContinuedWithoutAQuestion)
{
    std::string temp = Driver_NewTempFolder("EngineResume");
    std::string work = Driver_NewWorkFolder("EngineResume");
    std::string src = Files_Join(work, "src");
    Files_MakeFolder(src);
    std::string done = Engine_MakeFile(Files_Join(src, "done.txt"), 5000, 1);
    std::string big = Engine_MakeFile(Files_Join(src, "big.bin"), BIG_SIZE, 2);
    std::string after = Engine_MakeFile(Files_Join(src, "after.txt"), 3000, 3);
    std::vector<std::string> sources = {Files_Join(src, "done.txt"),
                                        Files_Join(src, "big.bin"),
                                        Files_Join(src, "after.txt")};

    // On a fast machine the runner may get through the whole big file in
    // one moment of running; then the attempt starts over.
    std::string dst;
    LONGLONG partial = -1;
    for (int attempt = 0; attempt < 5 && (partial <= 0 || partial >= (LONGLONG)BIG_SIZE);
         attempt++) {
        dst = Files_Join(work, "dst" + std::to_string(attempt));
        Files_MakeFolder(dst);
        Driver_WriteJob(temp, 321, JOB_MODE_COPY, dst, sources);
        DRIVER_COPIER copier = {};
        ASSERT_TRUE(Driver_StartCopier(temp, "321R", &copier));
        HWND window = Driver_WaitForProgressWindow(&copier);
        ASSERT_TRUE(window != NULL);
        ASSERT_TRUE(Driver_WaitForTitle(window, "Ready to resume..."));
        partial = Engine_StopInsideBigFile(&copier, window,
                                           Files_Join(dst, "big.bin"));
        Driver_Kill(&copier);
    }
    ASSERT_GT(partial, 0);
    ASSERT_LT(partial, (LONGLONG)BIG_SIZE);

    // The cut-off target already bears the source's time: that is what
    // marks it as a copy to be continued rather than a foreign file.
    EXPECT_TRUE(
        Files_HasWriteTime(Files_Join(dst, "big.bin"), Files_SeedTime(2)));

    // The finished file is marked: same size and time, other bytes.  A run
    // that passes it over leaves the mark; one that copies it again not.
    std::string marked(done.size(), 'M');
    ASSERT_TRUE(Driver_WriteFile(Files_Join(dst, "done.txt"), marked));
    ASSERT_TRUE(
        Files_SetWriteTime(Files_Join(dst, "done.txt"), Files_SeedTime(1)));

    // Killed, the job file stayed; running the job again finishes it.
    Engine_RunJob(temp, 321, JOB_MODE_COPY, dst, sources, 120000);

    Engine_ExpectFile(Files_Join(dst, "big.bin"), big, 2);
    Engine_ExpectFile(Files_Join(dst, "after.txt"), after, 3);
    Engine_ExpectFile(Files_Join(dst, "done.txt"), marked, 1);
}

}  // namespace
