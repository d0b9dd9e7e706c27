// CloseJob of the real control.cpp against a stand-in runner: the runner
// that sees the stop and then needs the window thread for one call on the
// window (as its pictures, texts and dialogs do) must get it while the
// close waits, so that it ends before the window does and Cancel does not
// sit out the whole wait.
#include <windows.h>

#include <gtest/gtest.h>

#include "control.cpp"
#include "copy_state.cpp"

#include "ui_driver.h"

namespace {

DWORD WINAPI Close_StandInRunner(void *)
{
    while (!CopyState.stopRequested)
        Sleep(1);
    SetWindowTextA(CopyState.progressWindow, "stopped");   // waits for the window thread
    CopyState.runnerEnded = 1;
    return 0;
}

// Handles calls from other threads until `thread` has ended.
void Close_PumpUntilEnded(HANDLE thread)
{
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, DRIVER_TIMEOUT_MS,
                                     QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG pending;
        PeekMessageA(&pending, NULL, 0, 0, PM_NOREMOVE);
    }
}

TEST(CloseJob, HandlesTheRunnersCallsWhileItWaitsForTheRunner)
{
    std::string temp = Driver_NewTempFolder("CloseJob");
    std::string job = temp + "tesqueue.123";
    ASSERT_TRUE(Driver_WriteFile(job, "job"));

    CopyState_Reset();
    MultiByteToWideChar(CP_ACP, 0, job.c_str(), -1, CopyState.jobFilePath,
                        COPIER_PATH_CHARS);
    HWND window = CreateWindowA("STATIC", "window", WS_POPUP, 0, 0, 10, 10,
                                NULL, NULL, NULL, NULL);
    ASSERT_TRUE(window != NULL);
    CopyState.progressWindow = window;
    HANDLE runner = CreateThread(NULL, 0, Close_StandInRunner, NULL, 0, NULL);
    ASSERT_TRUE(runner != NULL);

    CloseJob();
    EXPECT_EQ(1, CopyState.runnerEnded.load())
        << "the window ended while the runner waited for it";
    EXPECT_FALSE(Driver_FileExists(job));

    Close_PumpUntilEnded(runner);
    CloseHandle(runner);
    EXPECT_EQ("stopped", Driver_GetText(window));
    DestroyWindow(window);
}

}  // namespace
