// A DLL that stands for one a download planted beside a program, under the
// name of a system DLL: when any process loads it, it leaves the file
// "<its own path>.loaded" beside itself.  test_dll_search plants copies.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char mark[MAX_PATH + 16];
        DWORD length = GetModuleFileNameA(self, mark, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatA(mark, ".loaded");
            CloseHandle(CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL));
        }
    }
    return TRUE;
}
