// Thread start for the monitor and the runner.  Debian's mingw uses the
// win32 thread model, which has no std::thread; _beginthreadex sets up the
// C runtime for the new thread.
#include <windows.h>
#include <process.h>

#include "engine.h"

enum {
    // A path of 32767 units holds up to 16383 folder levels, and the scan
    // and the walk recurse once per level: reserved, not committed, so it
    // costs address space only.
    THREAD_STACK_RESERVE = 64 * 1024 * 1024,
};

BOOL StartThread(unsigned(__stdcall *body)(void *))
{
    uintptr_t thread = _beginthreadex(NULL, THREAD_STACK_RESERVE, body, NULL,
                                      STACK_SIZE_PARAM_IS_A_RESERVATION, NULL);
    if (thread == 0)
        return FALSE;
    CloseHandle((HANDLE)thread);   // nobody waits for it
    return TRUE;
}
