// Writing a job file and starting the copier on it: used by the drop
// handler and by the console submit tool, so both hand over jobs the same way.
#pragma once

#include <windows.h>
#include <cstdint>

#include "job_file.h"

// Supplies source `index` as a NUL-terminated path in `buffer`
// (JOB_ITEM_BUFFER bytes), the way DragQueryFileA fills it.
typedef void (*JOB_SOURCE_FN)(void *context, uint32_t index, char *buffer);

// Writes a new job file into the temporary folder.  The name is taken
// exclusively: a number already in use is never appended to.  On success
// returns ERROR_SUCCESS and puts the job number's text (three digits) into
// `numberText` (at least 4 bytes).  On failure returns the system's error
// code and leaves no file behind.
DWORD JobFile_Write(int mode, const char *targetFolder, uint32_t sourceCount,
                    JOB_SOURCE_FN getSource, void *context, char *numberText);

// Starts tesrun.exe on job `numberText`, as a drop does: from the Windows
// folder when `copierFolder` is NULL (the installed copier), else from that
// folder.  Returns WinExec's result (above 31 on success).
UINT JobFile_StartCopier(const char *copierFolder, const char *numberText);
