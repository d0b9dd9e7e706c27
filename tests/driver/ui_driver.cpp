// UI test driver: starts tesrun.exe from the test process, finds its dialogs
// by process, reads and presses their controls, and keeps each test's files
// in a folder of its own under <build>\testarea.
#include "ui_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "job_file.h"
#include "job_file_reader.h"
#include "resource_ids.h"
#include "test_files.h"
#include "wide_files.h"
#include "title_recorder.h"

enum {
    DRIVER_POLL_MS = 10,
    DRIVER_SEND_TIMEOUT_MS = 5000,   // a window thread busy longer is hung
};

// --- folders ----------------------------------------------------------------

static std::string Driver_ModulePath(void)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return std::string();
    return std::string(path, length);
}

static std::string Driver_ParentOf(const std::string &path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

static std::string Driver_WithSlash(const std::string &folder)
{
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        return folder + "\\";
    return folder;
}

std::string Driver_BinFolder(void)
{
    return Driver_ParentOf(Driver_ModulePath());
}

// The test program's name without ".exe": keeps two test programs that ctest
// runs at once out of each other's folders.
static std::string Driver_ProgramName(void)
{
    std::string path = Driver_ModulePath();
    std::string name = path.substr(path.find_last_of("\\/") + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// Creates every missing folder of `path`.
static void Driver_CreateFolders(const std::string &path)
{
    for (size_t i = 3; i <= path.size(); i++) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/')
            CreateDirectoryA(path.substr(0, i).c_str(), NULL);
    }
}

// <build>\testarea\<program>\<test>\<kind>\, created empty.
static std::string Driver_NewFolder(const char *testName, const char *kind)
{
    std::string folder = Driver_ParentOf(Driver_BinFolder()) + "\\testarea\\" +
                         Driver_ProgramName() + "\\" + testName + "\\" + kind;
    Driver_CreateFolders(folder);
    Files_EmptyFolder(folder);
    return folder + "\\";
}

std::string Driver_NewTempFolder(const char *testName)
{
    return Driver_NewFolder(testName, "temp");
}

std::string Driver_NewWorkFolder(const char *testName)
{
    return Driver_NewFolder(testName, "work");
}

// --- job files ----------------------------------------------------------

std::string Driver_WriteJob(const std::string &tempFolder, int number,
                            int mode, const std::string &target,
                            const std::vector<std::string> &sources)
{
    // Filler bytes as an older writer left them (the ANSI form, not the
    // Unicode signature); no reader looks at them.
    std::string content("\x5a\x13\xc7\x00\xff\x42\x81", JOB_FILLER_SIZE);
    content.push_back((char)(uint8_t)mode);
    uint32_t count = (uint32_t)sources.size();
    for (int i = 0; i < JOB_COUNT_SIZE; i++)
        content.push_back((char)((count >> (8 * i)) & 0xFF));
    content.append(target.c_str(), target.size() + 1);
    for (const std::string &source : sources)
        content.append(source.c_str(), source.size() + 1);

    std::string path =
        Driver_WithSlash(tempFolder) + JOB_NAME_PREFIX + std::to_string(number);
    if (!Driver_WriteFile(path, content)) {
        ADD_FAILURE() << "the job file " << path << " could not be written";
        return std::string();
    }
    return path;
}

bool Driver_ReadJob(const std::string &path, DRIVER_JOB *job)
{
    *job = DRIVER_JOB();
    std::string content;
    if (!Driver_ReadFile(path, &content) || content.size() < JOB_HEADER_SIZE)
        return false;
    const uint8_t *header = (const uint8_t *)content.data();
    const uint8_t *body = header + JOB_HEADER_SIZE;
    size_t bodySize = content.size() - JOB_HEADER_SIZE;
    int form = JobFile_TextFormFromHeader(header);
    JOB_BODY_INFO info;
    if (!JobFile_CheckBodyOfForm(body, bodySize, form, JOB_WIDE_PATH_MAX,
                                 &info))
        return false;
    job->modeByte = (uint8_t)content[JOB_MODE_OFFSET];
    std::vector<wchar_t> text(JOB_WIDE_PATH_MAX + 1);
    uint32_t cursor = JOB_TARGET_OFFSET;
    if (!JobFile_NextSourceW(body, bodySize, form, &cursor, text.data(),
                             text.size()))
        return false;
    job->target = Driver_Utf8(text.data());
    cursor = info.firstSourceOffset;
    for (uint32_t i = 0; i < info.sourceCount; i++) {
        if (!JobFile_NextSourceW(body, bodySize, form, &cursor, text.data(),
                                 text.size()))
            return false;
        job->sources.push_back(Driver_Utf8(text.data()));
    }
    return true;
}

DRIVER_TEMP_SCOPE::DRIVER_TEMP_SCOPE(const std::string &folder)
{
    hadValue = GetEnvironmentVariableA("TMP", saved, sizeof saved) > 0;
    if (!folder.empty())
        Set(folder);
}

DRIVER_TEMP_SCOPE::~DRIVER_TEMP_SCOPE()
{
    SetEnvironmentVariableA("TMP", hadValue ? saved : NULL);
}

void DRIVER_TEMP_SCOPE::Set(const std::string &folder)
{
    SetEnvironmentVariableA("TMP", folder.c_str());
}

// --- processes ----------------------------------------------------------

// The current environment with TMP and TEMP replaced by `tempFolder`.
static std::string Driver_ChildEnvironment(const std::string &tempFolder)
{
    std::string block;
    char *strings = GetEnvironmentStringsA();
    for (const char *entry = strings; entry && *entry;
         entry += strlen(entry) + 1) {
        if (_strnicmp(entry, "TMP=", 4) == 0 ||
            _strnicmp(entry, "TEMP=", 5) == 0)
            continue;
        block.append(entry, strlen(entry) + 1);
    }
    if (strings)
        FreeEnvironmentStringsA(strings);
    block += "TEMP=" + tempFolder;
    block.push_back('\0');
    block += "TMP=" + tempFolder;
    block.push_back('\0');
    block.push_back('\0');
    return block;
}

// Every program the driver starts joins one job object that ends them all
// when the test program ends, so a test that stops half-way leaves no
// copier behind to hold the test run's output open.
static void Driver_JoinCleanupJob(HANDLE process)
{
    static HANDLE job;
    if (!job) {
        job = CreateJobObjectA(NULL, NULL);
        if (!job)
            return;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
        memset(&limits, 0, sizeof limits);
        limits.BasicLimitInformation.LimitFlags =
            JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation,
                                &limits, sizeof limits);
    }
    AssignProcessToJobObject(job, process);
}

bool Driver_StartProgram(const std::string &program,
                         const std::string &commandLine,
                         const std::string &tempFolder,
                         PROCESS_INFORMATION *process, bool suspended)
{
    memset(process, 0, sizeof *process);
    std::string environment = Driver_ChildEnvironment(tempFolder);
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    // Without a program the command line's first word is looked up on the
    // search path, as the shell runs a command.
    if (!CreateProcessA(program.empty() ? NULL : program.c_str(),
                        command.data(), NULL, NULL, FALSE,
                        CREATE_SUSPENDED, (void *)environment.data(), NULL,
                        &startup, process))
        return false;
    Driver_JoinCleanupJob(process->hProcess);
    if (!suspended)
        ResumeThread(process->hThread);
    return true;
}

bool Driver_StartCopier(const std::string &tempFolder,
                        const std::string &argument, DRIVER_COPIER *copier,
                        bool recordTitles)
{
    copier->window = NULL;
    copier->titleHook = NULL;
    // The program sees exactly `argument` as its command line; with no
    // argument there is no blank either, so it sees an empty one.
    std::string commandLine = "tesrun.exe";
    if (!argument.empty())
        commandLine += " " + argument;
    if (!Driver_StartProgram(Driver_BinFolder() + "\\tesrun.exe", commandLine,
                             tempFolder, &copier->process, recordTitles))
        return false;
    if (!recordTitles)
        return true;
    // The hook is set before the program runs, so no title escapes it.
    bool hooked = Driver_HookTitles(copier);
    ResumeThread(copier->process.hThread);
    return hooked;
}

bool Driver_StartJob(DRIVER_RUN *run, const char *testName, int number,
                     int mode, const std::string &target,
                     const std::vector<std::string> &sources,
                     const char *argument)
{
    run->temp = Driver_NewTempFolder(testName);
    run->jobFile = Driver_WriteJob(run->temp, number, mode, target, sources);
    return !run->jobFile.empty() &&
           Driver_StartCopier(run->temp,
                              argument ? argument : std::to_string(number),
                              &run->copier, run->recordTitles) &&
           Driver_WaitForProgressWindow(&run->copier) != NULL;
}

bool Driver_WaitForExit(DRIVER_COPIER *copier, DWORD timeoutMs,
                        DWORD *exitCode)
{
    if (!copier->process.hProcess)
        return false;
    if (WaitForSingleObject(copier->process.hProcess, timeoutMs) !=
        WAIT_OBJECT_0)
        return false;
    if (exitCode && !GetExitCodeProcess(copier->process.hProcess, exitCode))
        *exitCode = (DWORD)-1;
    return true;
}

void Driver_Kill(DRIVER_COPIER *copier)
{
    if (copier->process.hProcess) {
        if (WaitForSingleObject(copier->process.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(copier->process.hProcess, 99);
            WaitForSingleObject(copier->process.hProcess, DRIVER_TIMEOUT_MS);
        }
        CloseHandle(copier->process.hProcess);
    }
    if (copier->process.hThread)
        CloseHandle(copier->process.hThread);
    if (copier->titleHook)
        UnhookWindowsHookEx(copier->titleHook);
    memset(&copier->process, 0, sizeof copier->process);
    copier->window = NULL;
    copier->titleHook = NULL;
}

// --- windows -------------------------------------------------------------

struct DRIVER_SEARCH {
    DWORD processId;
    const char *title;       // NULL: the progress window
    bool anyVisible;         // any visible top-level window of the process
    int itemId;              // not 0: the dialog holding this control
    HWND found;
};

static bool Driver_IsDialogClass(HWND window)
{
    char className[32];
    return GetClassNameA(window, className, sizeof className) > 0 &&
           strcmp(className, "#32770") == 0;
}

static BOOL CALLBACK Driver_SearchProc(HWND window, LPARAM lParam)
{
    DRIVER_SEARCH *search = (DRIVER_SEARCH *)lParam;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    if (search->anyVisible) {
        search->found = window;
        return FALSE;
    }
    if (!Driver_IsDialogClass(window))
        return TRUE;
    if (search->itemId) {
        if (!GetDlgItem(window, search->itemId))
            return TRUE;
    } else if (search->title) {
        if (Driver_GetText(window) != search->title)
            return TRUE;
    } else {
        // The progress window is the one without an owner that has the
        // speed slider; message boxes and the child dialogs have neither.
        if (GetWindow(window, GW_OWNER) ||
            !GetDlgItem(window, IDC_PROGRESS_SLIDER))
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

static HWND Driver_Find(DWORD processId, const char *title, bool anyVisible,
                        int itemId = 0)
{
    DRIVER_SEARCH search = {processId, title, anyVisible, itemId, NULL};
    EnumWindows(Driver_SearchProc, (LPARAM)&search);
    return search.found;
}

static bool Driver_Ended(const DRIVER_COPIER *copier)
{
    return copier->process.hProcess &&
           WaitForSingleObject(copier->process.hProcess, 0) == WAIT_OBJECT_0;
}

// Driver_Ended for a process one of whose windows is awaited: its end is
// told on the error output with the exit code (1: the copier's own end;
// 99: the driver's kill; 0xC0000005 and the like: a crash), so a test that
// fails for a missing window says why the window never came.
static bool Driver_EndedBeforeItsWindow(const DRIVER_COPIER *copier)
{
    if (!Driver_Ended(copier))
        return false;
    DWORD exitCode = 0;
    GetExitCodeProcess(copier->process.hProcess, &exitCode);
    fprintf(stderr, "driver: process %lu ended with exit code 0x%lx before the awaited window\n",
            (unsigned long)copier->process.dwProcessId, (unsigned long)exitCode);
    return true;
}

static HWND Driver_WaitForDialogOf(const DRIVER_COPIER *copier,
                                   const char *title, int itemId,
                                   DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window =
            Driver_Find(copier->process.dwProcessId, title, false, itemId);
        if (window)
            return window;
        if (Driver_EndedBeforeItsWindow(copier) || GetTickCount() - start >= timeoutMs)
            return NULL;
        Sleep(DRIVER_POLL_MS);
    }
}

HWND Driver_WaitForProgressWindow(DRIVER_COPIER *copier, DWORD timeoutMs)
{
    copier->window = Driver_WaitForDialogOf(copier, NULL, 0, timeoutMs);
    return copier->window;
}

HWND Driver_WaitForDialog(const DRIVER_COPIER *copier, const char *title,
                          DWORD timeoutMs)
{
    return Driver_WaitForDialogOf(copier, title, 0, timeoutMs);
}

HWND Driver_WaitForDialogWithItem(const DRIVER_COPIER *copier, int itemId,
                                  DWORD timeoutMs)
{
    return Driver_WaitForDialogOf(copier, NULL, itemId, timeoutMs);
}

bool Driver_WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(DRIVER_POLL_MS);
    }
    return true;
}

bool Driver_HasDialog(const DRIVER_COPIER *copier, const char *title)
{
    return Driver_Find(copier->process.dwProcessId, title, false) != NULL;
}

struct DRIVER_DESCRIPTION {
    DWORD processId;
    std::string text;
};

static BOOL CALLBACK Driver_DescribeControl(HWND control, LPARAM lParam)
{
    std::string text = Driver_GetText(control);
    if (!text.empty())
        ((DRIVER_DESCRIPTION *)lParam)->text += " | " + text;
    return TRUE;
}

static BOOL CALLBACK Driver_DescribeDialog(HWND window, LPARAM lParam)
{
    DRIVER_DESCRIPTION *description = (DRIVER_DESCRIPTION *)lParam;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == description->processId && IsWindowVisible(window) &&
        Driver_IsDialogClass(window)) {
        description->text += Driver_GetText(window) + ":";
        EnumChildWindows(window, Driver_DescribeControl, lParam);
        description->text += "\n";
    }
    return TRUE;
}

std::string Driver_DescribeDialogs(const DRIVER_COPIER *copier)
{
    DRIVER_DESCRIPTION description = {copier->process.dwProcessId, ""};
    EnumWindows(Driver_DescribeDialog, (LPARAM)&description);
    return description.text;
}

bool Driver_WaitForExitWithoutWindow(DRIVER_COPIER *copier, DWORD timeoutMs,
                                     DWORD *exitCode, bool *sawWindow)
{
    *sawWindow = false;
    DWORD start = GetTickCount();
    for (;;) {
        // Look before asking whether it ended, so a window shown just
        // before the end is still seen.
        if (Driver_Find(copier->process.dwProcessId, NULL, true))
            *sawWindow = true;
        if (Driver_Ended(copier))
            return Driver_WaitForExit(copier, 0, exitCode);
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(1);
    }
}

// --- texts ---------------------------------------------------------------

std::string Driver_GetText(HWND window)
{
    if (!window || !IsWindow(window))
        return std::string();
    char text[4096];
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text,
                             SMTO_ABORTIFHUNG, DRIVER_SEND_TIMEOUT_MS,
                             &length))
        length = (DWORD_PTR)GetWindowTextA(window, text, sizeof text);
    if (length >= sizeof text)
        length = sizeof text - 1;
    return std::string(text, (size_t)length);
}

std::string Driver_GetItemText(HWND dialog, int id)
{
    return Driver_GetText(GetDlgItem(dialog, id));
}

bool Driver_WaitForTitle(HWND window, const char *title, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (Driver_GetText(window) == title)
            return true;
        if (!IsWindow(window) || GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(DRIVER_POLL_MS);
    }
}

std::string Driver_WaitForTitlePrefix(HWND window, const char *prefix,
                                      DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    size_t length = strlen(prefix);
    for (;;) {
        std::string title = Driver_GetText(window);
        if (title.compare(0, length, prefix) == 0)
            return title;
        if (!IsWindow(window) || GetTickCount() - start >= timeoutMs)
            return title;
        Sleep(DRIVER_POLL_MS);
    }
}

bool Driver_WaitForItemText(HWND dialog, int id, const char *text,
                            DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (Driver_GetItemText(dialog, id) == text)
            return true;
        if (!IsWindow(dialog) || GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(DRIVER_POLL_MS);
    }
}

// --- controls ------------------------------------------------------------

bool Driver_IsItemEnabled(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item && IsWindowEnabled(item);
}

void Driver_Click(HWND dialog, int id)
{
    // Posted, as a click arrives: a sent BM_CLICK would not return while
    // the button's action holds a modal dialog open.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, id));
}

void Driver_SetSlider(HWND dialog, int id, int position)
{
    HWND slider = GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(slider, TBM_SETPOS, TRUE, position, SMTO_NORMAL,
                        DRIVER_SEND_TIMEOUT_MS, &result);
    // Setting the position tells nobody; a drag ends with these two.
    SendMessageTimeoutA(dialog, WM_HSCROLL,
                        MAKEWPARAM(TB_THUMBPOSITION, position), (LPARAM)slider,
                        SMTO_NORMAL, DRIVER_SEND_TIMEOUT_MS, &result);
    SendMessageTimeoutA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                        (LPARAM)slider, SMTO_NORMAL, DRIVER_SEND_TIMEOUT_MS,
                        &result);
}

int Driver_GetProgressPosition(HWND dialog, int id)
{
    DWORD_PTR position = 0;
    if (!SendMessageTimeoutA(GetDlgItem(dialog, id), PBM_GETPOS, 0, 0,
                             SMTO_NORMAL, DRIVER_SEND_TIMEOUT_MS, &position))
        return -1;
    return (int)position;
}

// --- files ---------------------------------------------------------------

bool Driver_WriteFile(const std::string &path, const std::string &content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < content.size()) {
        DWORD part = content.size() - done > (1u << 20)
                         ? (1u << 20)
                         : (DWORD)(content.size() - done);
        DWORD written = 0;
        ok = WriteFile(file, content.data() + done, part, &written, NULL) &&
             written == part;
        done += written;
    }
    return CloseHandle(file) && ok;
}

bool Driver_ReadAndClose(HANDLE file, std::string *content)
{
    content->clear();
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, NULL) != FALSE) &&
           got > 0)
        content->append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool Driver_ReadFile(const std::string &path, std::string *content)
{
    return Driver_ReadAndClose(
        CreateFileA(path.c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL),
        content);
}

bool Driver_FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Driver_UnixPath(const std::string &windowsPath)
{
    typedef char *(__cdecl *UNIX_NAME_FN)(const WCHAR *);
    UNIX_NAME_FN unixName = (UNIX_NAME_FN)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH * 2];
    if (unixName &&
        MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide,
                            MAX_PATH * 2) > 0) {
        char *name = unixName(wide);
        if (name) {
            std::string result(name);
            HeapFree(GetProcessHeap(), 0, name);
            return result;
        }
    }
    // Wine maps drive Z: to the Unix root.
    std::string path = windowsPath;
    if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') &&
        path[1] == ':')
        path = path.substr(2);
    for (char &c : path)
        if (c == '\\')
            c = '/';
    return path;
}

bool Driver_RunUnix(const std::string &command)
{
    // Wine hands back no process handle that can be waited on for a Unix
    // program, so the command ends by creating a marker file.
    static LONG calls;
    char temp[MAX_PATH];
    if (!GetTempPathA(sizeof temp, temp))
        return false;
    std::string marker = std::string(temp) + "driver_unix_" +
                         std::to_string(GetCurrentProcessId()) + "_" +
                         std::to_string(InterlockedIncrement(&calls)) + ".done";
    DeleteFileA(marker.c_str());
    std::string script = command + "; touch '" + Driver_UnixPath(marker) + "'";

    std::string line = "sh -c \"";
    for (char c : script) {
        if (c == '"')
            line += '\\';
        line += c;
    }
    line += '"';
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);
    if (!CreateProcessA("Z:\\bin\\sh", buffer.data(), NULL, NULL, FALSE, 0,
                        NULL, NULL, &startup, &process))
        return false;
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
    bool ended = Driver_WaitForFile(marker, true, DRIVER_TIMEOUT_MS);
    DeleteFileA(marker.c_str());
    return ended;
}

bool Driver_WaitForFile(const std::string &path, bool exists, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (Driver_FileExists(path) == exists)
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(DRIVER_POLL_MS);
    }
}
