// The scanner's sums as the progress window shows them: a file beyond 4 GiB
// counts in full, and a dot-file is counted by the scan and counted as done
// when it is copied, like any other file.  The copy is held at a question
// so that the window's "Bytes left" line can be read while nothing moves.
#include "test_engine_common.h"

#include "resource_ids.h"

namespace {

typedef EngineTest EngineScan;

TEST_F(EngineScan, FileBeyondFourGiBIsCountedInFull)
{
    std::string huge = Files_Join(work, "huge.bin");
    // Sparse: 5 GiB of size without 5 GiB of disk.
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_TRUE(file != INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 5LL << 30;
    ASSERT_TRUE(SetFilePointerEx(file, size, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    Engine_MakeFile(Files_Join(work, "small.txt"), 1234, 1);

    // The target folder does not exist: the first target cannot be
    // created, and the copy waits at the error dialog with 0 bytes done.
    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, Files_TestName(), 300, JOB_MODE_COPY,
                                Files_Join(work, "missing"),
                                {huge, Files_Join(work, "small.txt")}));
    HWND window = run.copier.window;
    ASSERT_TRUE(Driver_WaitForDialog(&run.copier, "Error Copying File") !=
                NULL);
    // 5,368,709,120 + 1,234 bytes: 5.368.710 KB, far beyond 32 bits.
    EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_BYTESLEFT,
                                       "Bytes left : 5.368.710 KB"))
        << Driver_GetItemText(window, IDC_PROGRESS_BYTESLEFT);
    Driver_Kill(&run.copier);
    DeleteFileA(huge.c_str());
}

TEST_F(EngineScan, DotNamesAreCountedByTheScanAndDoneByTheCopy)
{
    std::string d = Files_Join(src, "d");
    Files_MakeFolder(d);
    std::string a = Engine_MakeFile(Files_Join(d, "a.txt"), 7000, 1);
    std::string dot = Engine_MakeFile(Files_Join(d, ".dot"), 5000, 2);
    // A clashing file held at the replace question afterwards.
    Engine_MakeFile(Files_Join(src, "clash.txt"), 3000, 3);
    Engine_MakeFile(Files_Join(dst, "clash.txt"), 2000, 4);

    DRIVER_RUN run;
    ASSERT_TRUE(Driver_StartJob(&run, Files_TestName(), 301, JOB_MODE_COPY, dst,
                                {d, Files_Join(src, "clash.txt")}));
    HWND window = run.copier.window;
    HWND question = Driver_WaitForDialog(&run.copier, "Confirm File Replace");
    ASSERT_TRUE(question != NULL);
    // Done: a.txt and the dot-file; left: the 3,000 bytes of the clash.
    EXPECT_TRUE(Driver_WaitForItemText(window, IDC_PROGRESS_BYTESLEFT,
                                       "Bytes left : 3 KB"))
        << Driver_GetItemText(window, IDC_PROGRESS_BYTESLEFT);
    Driver_Click(question, IDC_REPLACE_NO);
    ASSERT_TRUE(Driver_WaitForExit(&run.copier));

    Engine_ExpectFile(Files_Join(dst, "d\\a.txt"), a, 1);
    Engine_ExpectFile(Files_Join(dst, "d\\.dot"), dot, 2);
    EXPECT_EQ((std::vector<std::string>{".dot", "a.txt"}),
              Files_List(Files_Join(dst, "d")));
}

}  // namespace
