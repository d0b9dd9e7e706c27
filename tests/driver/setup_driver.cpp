// Driving the installer; see setup_driver.h.
#include "setup_driver.h"
#include "resource_ids.h"

#include <tlhelp32.h>

#include <cstring>

const SETUP_VALUE c_SetupValues[SETUP_VALUE_COUNT] = {
    {HKEY_LOCAL_MACHINE, SETUP_HANDLER_KEY("Directory"), NULL, SETUP_TEST_CLASS_ID},
    {HKEY_LOCAL_MACHINE, SETUP_HANDLER_KEY("Folder"), NULL, SETUP_TEST_CLASS_ID},
    {HKEY_LOCAL_MACHINE, SETUP_HANDLER_KEY("Drive"), NULL, SETUP_TEST_CLASS_ID},
    {HKEY_CLASSES_ROOT, SETUP_CLASS_KEY, NULL, "TesDrop"},
    {HKEY_CLASSES_ROOT, SETUP_CLASS_KEY "\\InProcServer32", NULL, "teshook.dll"},
    {HKEY_CLASSES_ROOT, SETUP_CLASS_KEY "\\InProcServer32", "ThreadingModel", "Apartment"},
    {HKEY_LOCAL_MACHINE, SETUP_APPROVED_KEY, SETUP_TEST_CLASS_ID, "TesDrop"},
    {HKEY_LOCAL_MACHINE, SETUP_RUN_KEY, "Resume copy", "tesrun.exe /startup"},
};

std::string SetupDriver_WindowsPath(const char *name)
{
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return name;
    return std::string(windows) + "\\" + name;
}

static void SetupDriver_DeleteValue(HKEY root, const char *key, const char *name)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &opened) == ERROR_SUCCESS) {
        RegDeleteValueA(opened, name);
        RegCloseKey(opened);
    }
}

void SetupDriver_Clean(void)
{
    const char *files[] = {"tesrun.exe", "teshook.dll", "tesrun.exe.new",
                           "teshook.dll.new"};
    for (const char *file : files) {
        std::string path = SetupDriver_WindowsPath(file);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    RegDeleteKeyA(HKEY_CLASSES_ROOT, SETUP_CLASS_KEY "\\InProcServer32");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, SETUP_CLASS_KEY);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, SETUP_HANDLER_KEY("Directory"));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, SETUP_HANDLER_KEY("Folder"));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, SETUP_HANDLER_KEY("Drive"));
    SetupDriver_DeleteValue(HKEY_LOCAL_MACHINE, SETUP_APPROVED_KEY,
                            SETUP_TEST_CLASS_ID);
    SetupDriver_DeleteValue(HKEY_LOCAL_MACHINE, SETUP_RUN_KEY, "Resume copy");
}

std::string SetupDriver_ReadValue(HKEY root, const char *key, const char *name)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "<missing>";
    char data[512];
    DWORD type = 0, size = sizeof data;
    LONG result = RegQueryValueExA(opened, name, NULL, &type, (BYTE *)data, &size);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS)
        return "<missing>";
    if (type != REG_SZ)
        return "<type " + std::to_string(type) + ">";
    if (size == 0 || data[size - 1] != '\0' || strlen(data) + 1 != size)
        return "<size " + std::to_string(size) + ">";
    return data;
}

bool SetupDriver_KeyExists(HKEY root, const char *key)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool SetupDriver_Start(DRIVER_COPIER *setup, const std::string &argument,
                       const std::string &program)
{
    setup->window = NULL;
    setup->titleHook = NULL;
    std::string path = program.empty() ? Driver_BinFolder() + "\\tessetup.exe" : program;
    std::string commandLine = "tessetup.exe";
    if (!argument.empty())
        commandLine += " " + argument;
    if (!Driver_StartProgram(path, commandLine, Driver_NewTempFolder("Setup"),
                             &setup->process))
        return false;
    if (!argument.empty())
        return true;
    setup->window = Driver_WaitForDialog(setup, "Tessary Copy v1.1");
    return setup->window != NULL;
}

int SetupDriver_RunSilent(const char *argument)
{
    DRIVER_COPIER setup = {};
    if (!SetupDriver_Start(&setup, argument))
        return -1;
    DWORD exitCode = 0;
    bool sawWindow = true;
    bool ended = Driver_WaitForExitWithoutWindow(&setup, DRIVER_TIMEOUT_MS,
                                                 &exitCode, &sawWindow);
    Driver_Kill(&setup);
    return ended && !sawWindow ? (int)exitCode : -1;
}

std::string SetupDriver_AnswerMessage(DRIVER_COPIER *setup, const char *caption)
{
    HWND box = Driver_WaitForDialog(setup, caption);
    if (!box)
        return "<none>";
    // A message box's text is its static control 0xFFFF.
    std::string text = Driver_GetItemText(box, 0xFFFF);
    Driver_Click(box, IDOK);
    Driver_WaitForWindowGone(box);
    return text;
}

struct SETUP_SEARCH {
    DWORD processId;
    HWND setupWindow;
    bool found;
};

static BOOL CALLBACK SetupDriver_OtherDialog(HWND window, LPARAM lParam)
{
    SETUP_SEARCH *search = (SETUP_SEARCH *)lParam;
    DWORD processId = 0;
    char className[16];
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && window != search->setupWindow &&
        GetClassNameA(window, className, sizeof className) &&
        strcmp(className, "#32770") == 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool SetupDriver_NoMessageOpen(DRIVER_COPIER *setup)
{
    // A message sent to the window is handled only once its thread pumps
    // messages again: by then a message box that follows the last one has
    // been created, and the one after a click has begun.
    DWORD_PTR answer;
    if (!SendMessageTimeoutA(setup->window, WM_NULL, 0, 0, SMTO_NORMAL,
                             DRIVER_TIMEOUT_MS, &answer))
        return false;
    SETUP_SEARCH search = {setup->process.dwProcessId, setup->window, false};
    EnumWindows(SetupDriver_OtherDialog, (LPARAM)&search);
    return !search.found;
}

static bool SetupDriver_IsInstalledCopier(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 module;
    module.dwSize = sizeof module;
    // The first module is the program file itself.
    bool installed = Module32First(snapshot, &module) &&
                     _stricmp(module.szExePath,
                              SetupDriver_WindowsPath("tesrun.exe").c_str()) == 0;
    CloseHandle(snapshot);
    return installed;
}

static BOOL CALLBACK SetupDriver_CopierWindow(HWND window, LPARAM lParam)
{
    DWORD processId = 0;
    char className[16];
    GetWindowThreadProcessId(window, &processId);
    if (IsWindowVisible(window) && !GetWindow(window, GW_OWNER) &&
        GetClassNameA(window, className, sizeof className) &&
        strcmp(className, "#32770") == 0 &&
        GetDlgItem(window, IDC_PROGRESS_SLIDER) &&
        SetupDriver_IsInstalledCopier(processId)) {
        *(HWND *)lParam = window;
        return FALSE;
    }
    return TRUE;
}

bool SetupDriver_WaitForInstalledCopier(DRIVER_COPIER *copier)
{
    memset(copier, 0, sizeof *copier);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < DRIVER_TIMEOUT_MS) {
        HWND window = NULL;
        EnumWindows(SetupDriver_CopierWindow, (LPARAM)&window);
        DWORD processId = 0;
        if (window && GetWindowThreadProcessId(window, &processId)) {
            copier->process.hProcess = OpenProcess(
                SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION,
                FALSE, processId);
            copier->process.dwProcessId = processId;
            copier->window = window;
            return copier->process.hProcess != NULL;
        }
        Sleep(10);
    }
    return false;
}
