// Thread start for the monitor and the runner.  Debian's mingw uses the
// win32 thread model, which has no std::thread; _beginthreadex sets up the
// C runtime for the new thread.
#include <windows.h>
#include <process.h>

#include "engine.h"

BOOL StartThread(unsigned(__stdcall *body)(void *))
{
    uintptr_t thread = _beginthreadex(NULL, 0, body, NULL, 0, NULL);
    if (thread == 0)
        return FALSE;
    CloseHandle((HANDLE)thread);   // nobody waits for it
    return TRUE;
}
