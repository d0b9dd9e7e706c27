// tesrun's entry: job mode (load the job file, start the monitor, show the
// progress window) or the resume scan ("/startup": relaunch every job file
// left behind, paused).  The process always ends with exit code 1.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "copy_state.h"
#include "dll_search.h"
#include "engine.h"
#include "job_arguments.h"
#include "job_file.h"
#include "resource_ids.h"

enum {
    ARGUMENT_BUFFER = 400,
    TEMP_PATH_LIMIT = 200,
    WINDOWS_PATH_LIMIT = 256,
    RESUME_SCAN_MAX_LAUNCHES = 50,
    // How long a relaunched copier waits for one that is ending to let go
    // of the job; one that still runs the job after this is left to it.
    STARTUP_CLAIM_WAIT_MS = 10000,
};

// Puts the temporary folder into `buffer`; on failure tells the user and
// leaves it empty.
static bool Startup_GetTempPath(char *buffer)
{
    DWORD length = GetTempPathA(TEMP_PATH_LIMIT, buffer);
    if (length == 0 || length >= TEMP_PATH_LIMIT) {
        buffer[0] = '\0';
        MessageBoxA(NULL, "Can't get temp-path", "Error", MB_OK);
        return false;
    }
    return true;
}

// Starts one paused copier for every job file in the temporary folder.
static void Startup_ResumeScan(void)
{
    char pattern[COPIER_PATH_CHARS];
    if (!Startup_GetTempPath(pattern))
        return;
    lstrcatA(pattern, JOB_NAME_PREFIX "*");

    char prefix[WINDOWS_PATH_LIMIT + 32];
    UINT length = GetWindowsDirectoryA(prefix, WINDOWS_PATH_LIMIT);
    if (length == 0 || length >= WINDOWS_PATH_LIMIT)
        return;
    lstrcatA(prefix, "\\tesrun.exe ");

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    int launched = 0;
    do {
        char number[4];
        // A folder of that name is no job: its copier could only fail.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!JobArguments_NumberFromFoundName(found.cAlternateFileName,
                                              found.cFileName, number))
            continue;
        char command[WINDOWS_PATH_LIMIT + 40];
        wsprintfA(command, "%s%sR", prefix, number);
        WinExec(command, SW_SHOWNORMAL);
        launched++;
    } while (launched < RESUME_SCAN_MAX_LAUNCHES &&
             FindNextFileA(search, &found));
    FindClose(search);
}

// Claims the job for this copier: a named mutex per job file, owned until
// the process ends.  Returns false when another copier runs the job (a
// second "/startup", a relaunch of a job still running): two copiers on
// one move job would delete each other's sources.  A copier that is just
// ending (its window closed, its process not yet gone) still owns it for
// a moment: the claim waits for that rather than leave the job to the next
// logon.  The name holds the job file's path, lower-cased, so that the
// same number in another temporary folder is another job.
static bool Startup_ClaimJob(void)
{
    char path[COPIER_PATH_CHARS];
    DWORD length = GetLongPathNameA(CopyState.jobFilePath, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        lstrcpynA(path, CopyState.jobFilePath, sizeof path);
    LowerCaseAscii(path);

    char name[COPIER_PATH_CHARS + 32];
    wsprintfA(name, "TessaryCopyJob:%s", path);
    for (char *c = name; *c; c++)
        if (*c == '\\')
            *c = '/';           // a backslash would name a namespace
    name[MAX_PATH - 1] = '\0';
    HANDLE claim = CreateMutexA(NULL, FALSE, name);
    if (claim == NULL)
        return true;            // no claim to be had: run unguarded
    // An abandoned mutex (its owner was killed) is ours as well.
    DWORD waited = WaitForSingleObject(claim, STARTUP_CLAIM_WAIT_MS);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return true;            // kept until the process ends
    CloseHandle(claim);
    return false;
}

// Reads and checks the job file; fills the job fields of CopyState.
// Returns false when the copier is to end (silently, or after a message).
static bool Startup_LoadJob(const char *jobName)
{
    char tempFolder[TEMP_PATH_LIMIT];
    // Without a temporary folder the job is looked for in the current folder,
    // which is where a writer without one would have put it.
    Startup_GetTempPath(tempFolder);
    wsprintfA(CopyState.jobFilePath, "%s" JOB_NAME_PREFIX "%s", tempFolder,
              jobName);

    if (!Startup_ClaimJob())
        return false;

    CopyState.transferBuffer = (uint8_t *)malloc(TRANSFER_BUFFER_SIZE);

    HANDLE file = CreateFileA(CopyState.jobFilePath, GENERIC_READ,
                              FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, NULL);
    if (size == INVALID_FILE_SIZE) {
        CloseHandle(file);
        return false;
    }

    CopyState.jobBody = (uint8_t *)malloc(size ? size : 1);
    if (!CopyState.jobBody || !CopyState.transferBuffer) {
        CloseHandle(file);
        MessageBoxA(NULL, "Not enough memory!", "Error!", MB_OK);
        return false;
    }

    uint8_t header[JOB_HEADER_SIZE];
    DWORD got = 0;
    if (!ReadFile(file, header, JOB_HEADER_SIZE, &got, NULL) ||
        got != JOB_HEADER_SIZE) {
        CloseHandle(file);
        return false;
    }
    CopyState.copyMode = JobFile_ModeFromHeader(header);

    DWORD bodySize = 0;
    BOOL readOk = ReadFile(file, CopyState.jobBody, size, &bodySize, NULL);
    if (!CloseHandle(file) || !readOk)
        return false;

    // A damaged body is refused whole, before any walker trusts its count.
    JOB_BODY_INFO info;
    if (!JobFile_CheckBody(CopyState.jobBody, bodySize,
                           COPIER_PATH_CHARS - 1, &info))
        return false;
    CopyState.jobBodySize = bodySize;
    CopyState.sourceCount = (int)info.sourceCount;
    memcpy(CopyState.targetFolder, CopyState.jobBody + info.targetOffset,
           info.targetLength + 1);
    CopyState.jobCursor = (int)info.firstSourceOffset;

    CopyState.skippedSources =
        (uint8_t *)calloc(info.sourceCount / 8 + 1, 1);
    if (!CopyState.skippedSources) {
        MessageBoxA(NULL, "Not enough memory!", "Error!", MB_OK);
        return false;
    }
    return true;
}

HBITMAP LoadButtonImage(int id)
{
    return (HBITMAP)LoadImageA(CopyState.appInstance, MAKEINTRESOURCEA(id),
                               IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    DllSearch_SystemFolderOnly();
    CopyState_Reset();
    CopyState.appInstance = instance;

    char argument[ARGUMENT_BUFFER];
    lstrcpynA(argument, commandLine ? commandLine : "", sizeof argument);

    char jobName[JOB_NAME_CHARS + 1];
    int paused = 0;
    switch (JobArguments_Parse(argument, jobName, &paused)) {
    case JOB_ARGUMENT_RESUME_SCAN:
        Startup_ResumeScan();
        return 1;
    case JOB_ARGUMENT_REFUSED:
        return 1;
    case JOB_ARGUMENT_JOB:
        break;
    }

    CopyState.paused = paused;
    CopyState.relaunchedJob = paused;
    if (!Startup_LoadJob(jobName))
        return 1;
    // Published before the other threads run: the Pause button may show
    // either picture from its first click on.
    CopyState.pauseImage = LoadButtonImage(IDB_PAUSE);
    CopyState.resumeImage = LoadButtonImage(IDB_RESUME);

    if (!StartThread(MonitorJob))
        return 1;
    InitCommonControls();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), NULL,
                    ProgressWindowProc, 0);
    return 1;
}
