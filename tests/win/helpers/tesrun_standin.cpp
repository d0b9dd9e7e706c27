// Test helper: stands in for the installed copier (C:\windows\tesrun.exe)
// while a test runs the resume scan, and records each launch instead of
// copying anything.
//
// Every launch writes one file into the folder named by the environment
// variable TES_STANDIN_RECORDS, holding exactly the text that followed the
// program name on its command line.  Without that variable it records
// nothing.  Ends with 0.
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

int main(void)
{
    char folder[MAX_PATH];
    DWORD length =
        GetEnvironmentVariableA("TES_STANDIN_RECORDS", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder - 40)
        return 0;
    const char *argument = Standin_Argument(GetCommandLineA());

    // One new file per launch: a process id may come again once its
    // first holder has ended, so a taken name moves on to the next.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 1000 && file == INVALID_HANDLE_VALUE;
         attempt++) {
        char path[MAX_PATH + 40];
        snprintf(path, sizeof path, "%s\\launch_%lu_%d.txt", folder,
                 (unsigned long)GetCurrentProcessId(), attempt);
        file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return 0;
    }
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    WriteFile(file, argument, (DWORD)lstrlenA(argument), &written, NULL);
    CloseHandle(file);
    return 0;
}
