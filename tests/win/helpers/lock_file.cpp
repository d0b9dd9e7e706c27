// Test helper: holds a file open with share mode 0, so that every other
// open, delete or move of it fails with a sharing violation, until the test
// lets it go.
//
//   lock_file.exe PATH READY_EVENT RELEASE_EVENT
//
// Signals the named event READY_EVENT once the file is held, then waits for
// the named event RELEASE_EVENT, closes the file and ends with 0.  Ends with
// 2 when the file cannot be opened.  A test that dies without releasing it
// leaves it running at most ten minutes.
#include <windows.h>

enum { LOCK_FILE_MAX_HOLD_MS = 10 * 60 * 1000 };

int main(int argc, char **argv)
{
    if (argc != 4)
        return 3;
    // Created here too, so the order in which test and helper open them
    // does not matter.
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, argv[2]);
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, argv[3]);
    if (!ready || !release)
        return 3;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    SetEvent(ready);
    WaitForSingleObject(release, LOCK_FILE_MAX_HOLD_MS);
    CloseHandle(file);
    return 0;
}
