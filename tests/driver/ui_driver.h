// UI test driver: starts the real tesrun.exe from a separate test process,
// finds its windows, reads their controls, presses their buttons and moves
// the slider.  Every wait polls with a generous time-out; none assumes the
// machine is fast.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum { DRIVER_TIMEOUT_MS = 30000 };   // the default for every wait

// A private temporary folder for one test: created empty under the test
// area; children started by the driver get it as TMP and TEMP.
std::string Driver_NewTempFolder(const char *testName);

// A scratch folder for a test's sources and targets (created empty).
std::string Driver_NewWorkFolder(const char *testName);

// Folder of the test program; tesrun.exe and tessubmit.exe stand beside it.
std::string Driver_BinFolder(void);

// Writes tesqueue.NNN into `tempFolder` in the job file's documented
// layout, in the older ANSI form (filler bytes, not the Unicode signature),
// encoded here rather than by the product, so that the copier's reader is
// held to the layout.  `mode` is stored as the mode byte as given (so 2 can
// be tested).  Returns its full path; a file that cannot be written fails
// the test and gives an empty path.
std::string Driver_WriteJob(const std::string &tempFolder, int number,
                            int mode, const std::string &target,
                            const std::vector<std::string> &sources);

// A job file read back as the copier reads it (the reader of
// common/job_file_reader.h, either form): its mode byte, and its target
// folder and sources as UTF-8.
struct DRIVER_JOB {
    int modeByte = -1;
    std::string target;
    std::vector<std::string> sources;
};
// False when the file is missing or the copier would refuse it.
bool Driver_ReadJob(const std::string &path, DRIVER_JOB *job);

// TMP (which GetTempPathA reads first) set to `folder` (unless empty) and
// put back at the end of the scope, for code that the test runs in its own
// process: the drop handler, the job writer.
struct DRIVER_TEMP_SCOPE {
    explicit DRIVER_TEMP_SCOPE(const std::string &folder = std::string());
    ~DRIVER_TEMP_SCOPE();
    void Set(const std::string &folder);
    bool hadValue = false;
    char saved[MAX_PATH] = "";
};

// A started copier.
struct DRIVER_COPIER {
    PROCESS_INFORMATION process;
    HWND window;                     // the progress window, once found
    HHOOK titleHook;                 // see title_recorder.h; NULL: none
};

// Starts bin\tesrun.exe with `argument`, TMP/TEMP set to `tempFolder`;
// with `recordTitles` every title of its window is recorded from its first
// one on (title_recorder.h).
bool Driver_StartCopier(const std::string &tempFolder,
                        const std::string &argument, DRIVER_COPIER *copier,
                        bool recordTitles = false);

// Starts any program with TMP/TEMP set to `tempFolder`; `commandLine` is
// the whole command line, program name included; an empty `program` has
// the command line's first word looked up on the search path.  With
// `suspended` its first thread waits for the caller's ResumeThread.
bool Driver_StartProgram(const std::string &program,
                         const std::string &commandLine,
                         const std::string &tempFolder,
                         PROCESS_INFORMATION *process, bool suspended = false);

// Waits for the copier's visible progress window (dialog 100).
HWND Driver_WaitForProgressWindow(DRIVER_COPIER *copier,
                                  DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Waits for a visible top-level dialog of the copier's process whose title
// equals `title` ("Error Copying File", "Confirm File Replace", ...).
HWND Driver_WaitForDialog(const DRIVER_COPIER *copier, const char *title,
                          DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Waits for a visible top-level dialog of the copier's process that holds
// the control `itemId` (a dialog told by its content, not its title).
HWND Driver_WaitForDialogWithItem(const DRIVER_COPIER *copier, int itemId,
                                  DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Waits until `window` has been destroyed (a dialog that was answered).
bool Driver_WaitForWindowGone(HWND window, DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Is a visible dialog with this title open in the copier's process now?
bool Driver_HasDialog(const DRIVER_COPIER *copier, const char *title);
// Every visible dialog of the copier's process with the texts of its
// controls, "Title: text | text ..." one to a line: what a failure message
// needs to say which file a question was about.
std::string Driver_DescribeDialogs(const DRIVER_COPIER *copier);

// Texts.
std::string Driver_GetText(HWND window);
std::string Driver_GetItemText(HWND dialog, int id);
bool Driver_WaitForTitle(HWND window, const char *title,
                         DWORD timeoutMs = DRIVER_TIMEOUT_MS);
// Waits until the title starts with `prefix`; returns the title seen last.
std::string Driver_WaitForTitlePrefix(HWND window, const char *prefix,
                                      DWORD timeoutMs = DRIVER_TIMEOUT_MS);
bool Driver_WaitForItemText(HWND dialog, int id, const char *text,
                            DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Controls.
bool Driver_IsItemEnabled(HWND dialog, int id);
void Driver_Click(HWND dialog, int id);            // as a user's click
void Driver_SetSlider(HWND dialog, int id, int position);
int Driver_GetProgressPosition(HWND dialog, int id);

// Waits for the copier process to end; returns false on time-out.
bool Driver_WaitForExit(DRIVER_COPIER *copier,
                        DWORD timeoutMs = DRIVER_TIMEOUT_MS,
                        DWORD *exitCode = NULL);
// Waits for the process to end while watching, in short steps, for any
// visible top-level window of it; `sawWindow` tells whether one was seen.
bool Driver_WaitForExitWithoutWindow(DRIVER_COPIER *copier, DWORD timeoutMs,
                                     DWORD *exitCode, bool *sawWindow);
// Ends the process if it still runs and closes its handles.
void Driver_Kill(DRIVER_COPIER *copier);

// A copier started on a job of its own; ended when the test ends,
// whatever happened.
struct DRIVER_RUN {
    DRIVER_COPIER copier = {};
    std::string temp;       // its temporary folder, where the job file lies
    std::string jobFile;
    bool recordTitles = false;   // set before the start: title_recorder.h
    ~DRIVER_RUN() { Driver_Kill(&copier); }
};

// Writes job `number` into a new temporary folder of `testName`, starts the
// copier on `argument` (the number when NULL) and waits for its window.
bool Driver_StartJob(DRIVER_RUN *run, const char *testName, int number,
                     int mode, const std::string &target,
                     const std::vector<std::string> &sources,
                     const char *argument = NULL);

// Files.
bool Driver_WriteFile(const std::string &path, const std::string &content);
bool Driver_ReadFile(const std::string &path, std::string *content);
// Reads an opened file to its end and closes it; false for
// INVALID_HANDLE_VALUE or a failed read.
bool Driver_ReadAndClose(HANDLE file, std::string *content);
bool Driver_FileExists(const std::string &path);
// The Unix path of a Windows path (Wine's own mapping).
std::string Driver_UnixPath(const std::string &windowsPath);
// Runs `command` with the Unix shell (/bin/sh -c) and waits for it; Wine
// starts Unix programs directly.  For what only the host can do, such as
// chattr.  Returns false when it could not be started or did not end; its
// exit code is not reliable under Wine, so callers check its effect.
bool Driver_RunUnix(const std::string &command);
// Polls until `path` exists (or, with `exists` false, is gone).
bool Driver_WaitForFile(const std::string &path, bool exists = true,
                        DWORD timeoutMs = DRIVER_TIMEOUT_MS);
