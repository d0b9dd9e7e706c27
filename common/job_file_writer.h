// Writing a job file and starting the copier on it: used by the drop
// handler and by the console submit tool, so both hand over jobs the same way.
// Jobs are written in the Unicode form (job_file.h): the signature, then the
// target folder and the sources in UTF-8, each path as long as Windows
// allows.
#pragma once

#include <windows.h>
#include <cstdint>

#include "job_file.h"

// Gives source `index` as a NUL-terminated UTF-16 path in *path, valid until
// the next call.  Returns ERROR_SUCCESS, or the system's error code when the
// path cannot be had (the job is then not written).
typedef DWORD (*JOB_SOURCE_FN)(void *context, uint32_t index,
                               const WCHAR **path);

// Writes a new job file into the temporary folder (GetTempPathW).  The name
// is taken exclusively: a number already in use is never appended to.  On
// success returns ERROR_SUCCESS and puts the job number's text (three
// digits) into `numberText` (at least 4 bytes).  On failure returns the
// system's error code and leaves no file behind: among them
// ERROR_FILENAME_EXCED_RANGE for a path longer than JOB_WIDE_PATH_MAX units
// or a temporary folder longer than JOB_TEMP_PATH_MAX, and
// ERROR_NO_UNICODE_TRANSLATION for a path with an unpaired surrogate, which
// UTF-8 cannot carry.
DWORD JobFile_Write(int mode, const WCHAR *targetFolder, uint32_t sourceCount,
                    JOB_SOURCE_FN getSource, void *context, char *numberText);

// Starts tesrun.exe on job `numberText`, as a drop does: from the Windows
// folder when `copierFolder` is NULL (the installed copier), else from that
// folder.  The command line is the program's path, one blank and the
// number.  Returns ERROR_SUCCESS or the system's error code.
DWORD JobFile_StartCopier(const WCHAR *copierFolder, const char *numberText);
