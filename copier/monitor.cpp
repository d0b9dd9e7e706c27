// MonitorJob.  PLACEHOLDER until the full monitor lands.
#include "copy_state.h"
#include "engine.h"

unsigned __stdcall MonitorJob(void *)
{
    while (!CopyState.progressWindow)
        Sleep(1);
    SetWindowTextA(CopyState.progressWindow,
                   CopyState.paused ? "Ready to resume..." : "Preparing to copy...");
    return 0;
}
