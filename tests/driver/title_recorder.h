// Every title a copier's progress window is given, in order, recorded from
// inside the copier by a hook library (tests/win/hooks/title_hook.cpp) on
// its window thread.  Looking from outside misses titles that stand for a
// moment only: "Finished" is followed by the window's end within a tick.
// Started through Driver_StartCopier(..., recordTitles = true).
#pragma once

#include <string>
#include <vector>

#include "ui_driver.h"

// Sets the hook on the window thread of a copier started suspended (its
// first thread, which shows the window).  The hook goes with Driver_Kill.
bool Driver_HookTitles(DRIVER_COPIER *copier);

// The titles recorded so far by the copiers of `tempFolder`, oldest first,
// as the user saw them change: a title given again unchanged (each tick
// gives one) is listed once.
std::vector<std::string> Driver_RecordedTitles(const std::string &tempFolder);
