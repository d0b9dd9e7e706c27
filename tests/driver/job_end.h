// What a copier says at the edges of a job: the "Not Enough Free Space"
// question before the first byte, and the "Items Skipped" list a finished
// job shows when it left anything out.
#pragma once

#include <string>

#include "ui_driver.h"

// The list window of a finished job that left items out.
HWND Driver_WaitForSkippedList(const DRIVER_COPIER *copier,
                               DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Waits for the list, returns its text (path and reason of every item, as
// the window shows it) in `text`, closes it with OK and waits for the
// copier to end.  False when no list came or the copier did not end.
bool Driver_CloseSkippedList(DRIVER_COPIER *copier, std::string *text);

// The path of the list's text file beside a job file.
std::string Driver_SkippedListFile(const std::string &jobFile);
