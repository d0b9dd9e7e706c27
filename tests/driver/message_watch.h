// Answers a message box that the test's own thread shows (through a library
// it called, such as the drop handler): a watcher thread waits for it,
// reads its text and owner, and presses OK, so the blocked call returns.
#pragma once

#include <windows.h>

#include <string>

struct DRIVER_MESSAGE_WATCH {
    HANDLE thread = NULL;
    volatile LONG stop = 0;
    std::string title;       // the box looked for
    bool seen = false;       // filled in when the watch ends
    std::string text;
    HWND owner = NULL;
};

// Starts watching this process for a visible box titled `title`.
bool Driver_StartMessageWatch(DRIVER_MESSAGE_WATCH *watch, const char *title);

// Ends the watch: waits for the watcher when a box was answered, or stops
// it after a short look when none came.  Returns watch->seen.
bool Driver_EndMessageWatch(DRIVER_MESSAGE_WATCH *watch);
