// Test helper: stands in for the installed copier (C:\windows\tesrun.exe)
// while a test runs the resume scan, and records each launch instead of
// copying anything.
//
// Every launch writes one file "launch_*" into the folder named by the
// environment variable TES_STANDIN_RECORDS, holding exactly the text that
// followed the program name on its command line, and before it one file
// "command_*" of the same number holding the whole command line in UTF-8.
// Without that variable it records nothing.  Ends with 0.
#include <windows.h>

#include <cstdio>

// The command line after the program name and the blanks behind it.
static const char *Standin_Argument(const char *line)
{
    if (*line == '"') {
        for (line++; *line && *line != '"'; line++) {
        }
        if (*line == '"')
            line++;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            line++;
    }
    while (*line == ' ' || *line == '\t')
        line++;
    return line;
}

// Writes `size` bytes into a new file `path`; false when it exists.
static bool Standin_WriteNew(const char *path, const void *bytes, DWORD size,
                             DWORD *error)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, NULL);
    CloseHandle(file);
    return true;
}

int main(void)
{
    char folder[MAX_PATH];
    DWORD length =
        GetEnvironmentVariableA("TES_STANDIN_RECORDS", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder - 40)
        return 0;
    const char *argument = Standin_Argument(GetCommandLineA());

    // The whole command line as the copier would get it from the W call.
    const WCHAR *line = GetCommandLineW();
    char command[8192];
    int commandSize = WideCharToMultiByte(CP_UTF8, 0, line, -1, command,
                                          sizeof command, NULL, NULL);
    if (commandSize <= 0)
        commandSize = 1;

    // One new pair of files per launch, the launch file last, since a test
    // takes it as the sign that the launch is recorded.  A process id may
    // come again once its first holder has ended, so a taken name moves on
    // to the next.
    for (int attempt = 0; attempt < 1000; attempt++) {
        char path[MAX_PATH + 40];
        snprintf(path, sizeof path, "%s\\command_%lu_%d.txt", folder,
                 (unsigned long)GetCurrentProcessId(), attempt);
        DWORD error = ERROR_SUCCESS;
        if (!Standin_WriteNew(path, command, (DWORD)commandSize - 1, &error)) {
            if (error != ERROR_FILE_EXISTS)
                return 0;
            continue;
        }
        snprintf(path, sizeof path, "%s\\launch_%lu_%d.txt", folder,
                 (unsigned long)GetCurrentProcessId(), attempt);
        Standin_WriteNew(path, argument, (DWORD)lstrlenA(argument), &error);
        return 0;
    }
    return 0;
}
