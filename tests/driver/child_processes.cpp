// Finding a process by its parent, through a process snapshot.
#include "child_processes.h"

#include <tlhelp32.h>

#include <cstring>

static DWORD Children_FindId(DWORD parentId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD found = 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        // A process may still name as its parent an earlier holder of the
        // same id (Wine's desktop process outlives the window that started
        // it): only a copier counts.
        if (entry.th32ParentProcessID == parentId &&
            entry.th32ProcessID != parentId &&
            lstrcmpiA(entry.szExeFile, "tesrun.exe") == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

bool Driver_WaitForChild(const DRIVER_COPIER *parent, DRIVER_COPIER *child,
                         DWORD timeoutMs)
{
    memset(child, 0, sizeof *child);
    DWORD start = GetTickCount();
    do {
        DWORD id = Children_FindId(parent->process.dwProcessId);
        HANDLE process = id ? OpenProcess(PROCESS_ALL_ACCESS, FALSE, id) : NULL;
        if (process) {
            child->process.hProcess = process;
            child->process.dwProcessId = id;
            return true;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool Driver_WaitForChildrenToEnd(DWORD parentId, DWORD timeoutMs)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    bool ended = true;
    DWORD start = GetTickCount();
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parentId ||
            entry.th32ProcessID == parentId ||
            lstrcmpiA(entry.szExeFile, "tesrun.exe") != 0)
            continue;
        HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!child)
            continue;   // ended already
        DWORD waited = GetTickCount() - start;
        if (WaitForSingleObject(child, waited < timeoutMs ? timeoutMs - waited
                                                          : 0) != WAIT_OBJECT_0)
            ended = false;
        CloseHandle(child);
    }
    CloseHandle(snapshot);
    return ended;
}
