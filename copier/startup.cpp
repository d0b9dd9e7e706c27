// tesrun's entry: job mode (load the job file, start the monitor, show the
// progress window) or the resume scan ("/startup": relaunch every job file
// left behind, paused).  The process always ends with exit code 1.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "copy_state.h"
#include "dll_search.h"
#include "engine.h"
#include "job_arguments.h"
#include "job_file.h"
#include "job_file_reader.h"
#include "job_file_writer.h"
#include "resource_ids.h"

enum {
    ARGUMENT_BUFFER = 400,
    RESUME_SCAN_MAX_LAUNCHES = 50,
    // How long a relaunched copier waits for one that is ending to let go
    // of the job; one that still runs the job after this is left to it.
    STARTUP_CLAIM_WAIT_MS = 10000,
};

// Puts the temporary folder into `buffer` (COPIER_PATH_CHARS units); on
// failure tells the user and leaves it empty.
static bool Startup_GetTempPath(wchar_t *buffer)
{
    DWORD length = GetTempPathW(COPIER_PATH_CHARS, buffer);
    if (length == 0 || length >= COPIER_PATH_CHARS) {
        buffer[0] = L'\0';
        MessageBoxA(NULL, "Can't get temp-path", "Error", MB_OK);
        return false;
    }
    return true;
}

// The job number of a file the resume scan found, from its 8.3 name or its
// long name; job file names are ASCII, so any other character rules a name
// out.
static bool Startup_NumberOfFound(const WIN32_FIND_DATAW *found, char *number)
{
    char shortName[16], longName[16];
    const wchar_t *names[] = {found->cAlternateFileName, found->cFileName};
    char *narrow[] = {shortName, longName};
    for (int n = 0; n < 2; n++) {
        int i = 0;
        for (; names[n][i] && i < 15; i++)
            narrow[n][i] = names[n][i] < 128 ? (char)names[n][i] : '?';
        narrow[n][i] = '\0';      // a longer name, cut, is no job name either
    }
    return JobArguments_NumberFromFoundName(shortName, longName, number);
}

// Starts one paused copier for every job file in the temporary folder.
static void Startup_ResumeScan(void)
{
    wchar_t pattern[COPIER_PATH_CHARS + 16];
    if (!Startup_GetTempPath(pattern))
        return;
    lstrcatW(pattern, L"tesqueue.*");

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    int launched = 0;
    do {
        char number[8];
        // A folder of that name is no job: its copier could only fail.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!Startup_NumberOfFound(&found, number))
            continue;
        // The Windows folder's copier, "NNNR": the job opens paused.
        lstrcatA(number, "R");
        JobFile_StartCopier(NULL, number);
        launched++;
    } while (launched < RESUME_SCAN_MAX_LAUNCHES &&
             FindNextFileW(search, &found));
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
    std::wstring path(COPIER_PATH_CHARS, L'\0');
    DWORD length = GetLongPathNameW(CopyState.jobFilePath, &path[0],
                                    COPIER_PATH_CHARS);
    if (length == 0 || length >= COPIER_PATH_CHARS)
        path = CopyState.jobFilePath;
    else
        path.resize(length);
    LowerCaseAsciiW(&path[0]);

    std::wstring name = L"TessaryCopyJob:" + path;
    for (wchar_t &c : name)
        if (c == L'\\')
            c = L'/';           // a backslash would name a namespace
    if (name.size() >= MAX_PATH)
        name.resize(MAX_PATH - 1);
    HANDLE claim = CreateMutexW(NULL, FALSE, name.c_str());
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
    // Without a temporary folder the job is looked for in the current folder,
    // which is where a writer without one would have put it.
    Startup_GetTempPath(CopyState.jobFilePath);
    lstrcatW(CopyState.jobFilePath, L"tesqueue.");
    for (int i = 0; jobName[i]; i++) {
        wchar_t digit[2] = {(wchar_t)(unsigned char)jobName[i], L'\0'};
        lstrcatW(CopyState.jobFilePath, digit);
    }

    if (!Startup_ClaimJob())
        return false;

    CopyState.transferBuffer = (uint8_t *)malloc(TRANSFER_BUFFER_SIZE);

    HANDLE file = CreateFileW(CopyState.jobFilePath, GENERIC_READ,
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
    // A job written before the Unicode form holds ANSI text.
    CopyState.jobTextForm = JobFile_TextFormFromHeader(header);

    DWORD bodySize = 0;
    BOOL readOk = ReadFile(file, CopyState.jobBody, size, &bodySize, NULL);
    if (!CloseHandle(file) || !readOk)
        return false;

    // A damaged body is refused whole, before any walker trusts its count.
    JOB_BODY_INFO info;
    if (!JobFile_CheckBodyOfForm(CopyState.jobBody, bodySize,
                                 CopyState.jobTextForm, JOB_WIDE_PATH_MAX,
                                 &info))
        return false;
    CopyState.jobBodySize = bodySize;
    CopyState.sourceCount = (int)info.sourceCount;
    uint32_t targetCursor = JOB_TARGET_OFFSET;
    if (!JobFile_NextSourceW(CopyState.jobBody, bodySize,
                             CopyState.jobTextForm, &targetCursor,
                             CopyState.targetFolder, COPIER_PATH_CHARS))
        return false;
    CopyState.jobCursor = info.firstSourceOffset;

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
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PROGRESS), NULL,
                    ProgressWindowProc, 0);
    return 1;
}
