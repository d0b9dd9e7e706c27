// Processes that a program started by the driver started in turn, such as
// the copiers that the resume scan ("/startup") relaunches.
#pragma once

#include "ui_driver.h"

// Waits for a running copier (tesrun.exe) that `parent` started (the caller
// keeps the parent's handle open, so its id is not reused meanwhile) and
// opens it into `child`.  A process that names the parent's id but was
// created before the parent is an earlier holder's child and never counts.
// Returns false on time-out.
bool Driver_WaitForChild(const DRIVER_COPIER *parent, DRIVER_COPIER *child,
                         DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Waits until no copier (tesrun.exe) that process `parentId` started is
// alive: every launch it made is then complete.  The caller keeps the
// parent's id from being reused (its handle open, or itself).  Returns
// false on time-out.
bool Driver_WaitForChildrenToEnd(DWORD parentId,
                                 DWORD timeoutMs = DRIVER_TIMEOUT_MS);
