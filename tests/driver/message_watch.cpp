// A watcher thread that answers the message box of a call the test makes.
#include "message_watch.h"

#include <process.h>

#include "ui_driver.h"

enum { MESSAGE_BOX_TEXT_ID = 0xFFFF };   // the box's static text

static unsigned __stdcall MessageWatch_Thread(void *context)
{
    DRIVER_MESSAGE_WATCH *watch = (DRIVER_MESSAGE_WATCH *)context;
    DRIVER_COPIER self = {};
    self.process.dwProcessId = GetCurrentProcessId();
    while (!InterlockedCompareExchange(&watch->stop, 0, 0)) {
        HWND box = Driver_WaitForDialog(&self, watch->title.c_str(), 50);
        if (!box)
            continue;
        watch->text = Driver_GetItemText(box, MESSAGE_BOX_TEXT_ID);
        watch->owner = GetWindow(box, GW_OWNER);
        watch->seen = true;
        Driver_Click(box, IDOK);
        Driver_WaitForWindowGone(box);
        break;
    }
    return 0;
}

bool Driver_StartMessageWatch(DRIVER_MESSAGE_WATCH *watch, const char *title)
{
    watch->title = title;
    watch->seen = false;
    watch->text.clear();
    watch->owner = NULL;
    watch->stop = 0;
    watch->thread = (HANDLE)_beginthreadex(NULL, 0, MessageWatch_Thread, watch,
                                           0, NULL);
    return watch->thread != NULL;
}

bool Driver_EndMessageWatch(DRIVER_MESSAGE_WATCH *watch)
{
    if (!watch->thread)
        return false;
    // The call under test has returned: a box it showed has been answered
    // and the watcher is ending; otherwise there is nothing more to see.
    InterlockedExchange(&watch->stop, 1);
    WaitForSingleObject(watch->thread, DRIVER_TIMEOUT_MS);
    CloseHandle(watch->thread);
    watch->thread = NULL;
    return watch->seen;
}
