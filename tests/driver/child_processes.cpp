// Finding a process by its parent, through a process snapshot.
#include "child_processes.h"

#include <tlhelp32.h>

#include <cstring>

// When the process was created, in the file system's 100 ns units; 0 when
// the system does not say.
static ULONGLONG Children_Created(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return ((ULONGLONG)created.dwHighDateTime << 32) | created.dwLowDateTime;
}

// Does the snapshot entry name a copier whose parent has the id `parentId`?
static bool Children_IsCopierOf(const PROCESSENTRY32 *entry, DWORD parentId)
{
    return entry->th32ParentProcessID == parentId &&
           entry->th32ProcessID != parentId &&
           lstrcmpiA(entry->szExeFile, "tesrun.exe") == 0;
}

// Opens a running copier started by `parent`, or returns NULL.  A snapshot
// names each process's parent only by id, and an id is reused once its
// process is gone: a process may still name an earlier holder of the
// parent's id (Wine's desktop process, which outlives the window that
// started it; a copier left running by an earlier test).  So only a copier
// counts, and only one created after the parent itself.
static HANDLE Children_Open(const DRIVER_COPIER *parent, DWORD *childId)
{
    DWORD parentId = parent->process.dwProcessId;
    ULONGLONG parentCreated = Children_Created(parent->process.hProcess);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return NULL;
    HANDLE found = NULL;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        if (!Children_IsCopierOf(&entry, parentId))
            continue;
        HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID);
        if (!process)
            continue;       // already gone
        if (parentCreated != 0 && Children_Created(process) >= parentCreated) {
            found = process;
            *childId = entry.th32ProcessID;
        } else {
            CloseHandle(process);
        }
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
        DWORD id = 0;
        HANDLE process = Children_Open(parent, &id);
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
        if (!Children_IsCopierOf(&entry, parentId))
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
