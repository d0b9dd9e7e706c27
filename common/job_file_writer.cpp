// Writing a job file into the temporary folder, and starting the copier.
#include "job_file_writer.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>

enum {
    WRITE_BUFFER_SIZE = 16384,
    RANDOM_DRAWS = 64,  // after this many clashes, probe the numbers in turn
    // Each UTF-16 unit takes at most three bytes of UTF-8 (a surrogate
    // pair, two units, takes four).
    UTF8_PATH_MAX = 3 * JOB_WIDE_PATH_MAX,
};

// Collects the file's bytes and writes them in large pieces; remembers the
// first failure so the caller checks once at the end.
struct JOB_WRITER {
    HANDLE file;
    DWORD error;
    DWORD used;
    uint8_t buffer[WRITE_BUFFER_SIZE];
    uint8_t path[UTF8_PATH_MAX + 1];    // one path in UTF-8, with its NUL
};

static void JobWriter_Flush(JOB_WRITER *writer)
{
    if (writer->error == ERROR_SUCCESS && writer->used > 0) {
        DWORD written = 0;
        if (!WriteFile(writer->file, writer->buffer, writer->used, &written,
                       NULL))
            writer->error = GetLastError();
        else if (written != writer->used)
            writer->error = ERROR_WRITE_FAULT;
    }
    writer->used = 0;
}

static void JobWriter_Put(JOB_WRITER *writer, const void *data, DWORD size)
{
    const uint8_t *bytes = (const uint8_t *)data;
    while (size > 0 && writer->error == ERROR_SUCCESS) {
        DWORD room = WRITE_BUFFER_SIZE - writer->used;
        DWORD part = size < room ? size : room;
        memcpy(writer->buffer + writer->used, bytes, part);
        writer->used += part;
        bytes += part;
        size -= part;
        if (writer->used == WRITE_BUFFER_SIZE)
            JobWriter_Flush(writer);
    }
}

// Checks one path and writes it in UTF-8 with its NUL.
static void JobWriter_PutPath(JOB_WRITER *writer, const WCHAR *path)
{
    if (writer->error != ERROR_SUCCESS)
        return;
    size_t units = JobText_Length(path);
    if (units > JOB_WIDE_PATH_MAX) {
        writer->error = ERROR_FILENAME_EXCED_RANGE;
        return;
    }
    int64_t bytes = JobText_Utf16ToUtf8(path, units, writer->path,
                                        sizeof writer->path);
    if (bytes < 0) {
        writer->error = ERROR_NO_UNICODE_TRANSLATION;
        return;
    }
    writer->path[bytes] = 0;
    JobWriter_Put(writer, writer->path, (DWORD)bytes + 1);
}

// Creates the job file under a number nobody uses yet.  Returns the handle
// (or INVALID_HANDLE_VALUE with *error set) and fills path and numberText.
static HANDLE JobFile_CreateUnique(const WCHAR *tempFolder, WCHAR *path,
                                   char *numberText, DWORD *error)
{
    int number = JobFile_NumberFromRand(rand());
    for (int attempt = 0; attempt < RANDOM_DRAWS + JOB_NUMBER_COUNT;
         attempt++) {
        if (attempt > 0) {
            number = attempt < RANDOM_DRAWS
                         ? JobFile_NumberFromRand(rand())
                         : (number - JOB_NUMBER_FIRST + 1) % JOB_NUMBER_COUNT +
                               JOB_NUMBER_FIRST;
        }
        wsprintfA(numberText, JOB_NUMBER_FORMAT, number);
        wsprintfW(path, L"%s" JOB_NAME_PREFIX L"%d", tempFolder, number);
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        *error = GetLastError();
        if (*error != ERROR_FILE_EXISTS && *error != ERROR_ALREADY_EXISTS)
            return INVALID_HANDLE_VALUE;
    }
    *error = ERROR_FILE_EXISTS;  // all 898 numbers are taken
    return INVALID_HANDLE_VALUE;
}

DWORD JobFile_Write(int mode, const WCHAR *targetFolder, uint32_t sourceCount,
                    JOB_SOURCE_FN getSource, void *context, char *numberText)
{
    WCHAR tempFolder[JOB_PATH_BUFFER];
    WCHAR path[JOB_PATH_BUFFER];
    numberText[0] = '\0';

    if (sourceCount > JOB_MAX_SOURCES || targetFolder[0] == L'\0')
        return ERROR_INVALID_PARAMETER;
    // The copier looks for its job within a temporary folder path of this
    // size; a job it could not find would never run.
    DWORD tempLength = GetTempPathW(JOB_PATH_BUFFER, tempFolder);
    if (tempLength == 0)
        return GetLastError() ? GetLastError() : ERROR_PATH_NOT_FOUND;
    if (tempLength > JOB_TEMP_PATH_MAX)
        return ERROR_FILENAME_EXCED_RANGE;
    if (JobText_Length(targetFolder) > JOB_WIDE_PATH_MAX)
        return ERROR_FILENAME_EXCED_RANGE;

    srand((unsigned)time(NULL));
    DWORD error = ERROR_SUCCESS;
    HANDLE file = JobFile_CreateUnique(tempFolder, path, numberText, &error);
    if (file == INVALID_HANDLE_VALUE) {
        numberText[0] = '\0';
        return error;
    }

    JOB_WRITER *writer =
        (JOB_WRITER *)LocalAlloc(LMEM_FIXED, sizeof(JOB_WRITER));
    if (!writer) {
        CloseHandle(file);
        DeleteFileW(path);
        numberText[0] = '\0';
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    writer->file = file;
    writer->error = ERROR_SUCCESS;
    writer->used = 0;

    uint8_t head[JOB_HEADER_SIZE + JOB_COUNT_SIZE];
    JobFile_EncodeUnicodeHead(head, mode, sourceCount);
    JobWriter_Put(writer, head, sizeof head);
    JobWriter_PutPath(writer, targetFolder);
    for (uint32_t i = 0; i < sourceCount && writer->error == ERROR_SUCCESS;
         i++) {
        const WCHAR *source = NULL;
        DWORD got = getSource(context, i, &source);
        if (got != ERROR_SUCCESS)
            writer->error = got;
        else if (!source)
            writer->error = ERROR_INVALID_PARAMETER;
        else
            JobWriter_PutPath(writer, source);
    }
    JobWriter_Flush(writer);
    error = writer->error;
    LocalFree(writer);

    if (!CloseHandle(file) && error == ERROR_SUCCESS)
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        // A half-written job would be relaunched at every logon: remove it.
        DeleteFileW(path);
        numberText[0] = '\0';
    }
    return error;
}

DWORD JobFile_StartCopier(const WCHAR *copierFolder, const char *numberText)
{
    WCHAR windows[MAX_PATH];
    if (!copierFolder) {
        UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
        if (length == 0)
            return GetLastError() ? GetLastError() : ERROR_PATH_NOT_FOUND;
        if (length >= MAX_PATH)
            return ERROR_FILENAME_EXCED_RANGE;
        copierFolder = windows;
    }
    static const WCHAR program[] = L"\\tesrun.exe";
    size_t folderLength = JobText_Length(copierFolder);
    size_t numberLength = strlen(numberText);
    // Quotes, blank, number, NUL: a command line has at most 32767 units.
    size_t size = folderLength + (sizeof program / sizeof(WCHAR)) + 3 +
                  numberLength + 1;
    if (size > JOB_WIDE_PATH_MAX)
        return ERROR_FILENAME_EXCED_RANGE;

    // CreateProcessW may write into its command line (Windows documents it;
    // Wine does not), so it is built in memory of our own, never in a
    // literal.
    WCHAR *application = (WCHAR *)LocalAlloc(LMEM_FIXED, size * sizeof(WCHAR));
    WCHAR *command = (WCHAR *)LocalAlloc(LMEM_FIXED, size * sizeof(WCHAR));
    if (!application || !command) {
        LocalFree(application);
        LocalFree(command);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    lstrcpyW(application, copierFolder);
    lstrcatW(application, program);
    // The copier takes everything after its program name as its argument.
    // A folder with a blank (which the Windows folder normally has not)
    // would end that name early unless it is quoted.
    bool quote = wcspbrk(application, L" \t") != NULL;
    command[0] = L'\0';
    if (quote)
        lstrcatW(command, L"\"");
    lstrcatW(command, application);
    if (quote)
        lstrcatW(command, L"\"");
    lstrcatW(command, L" ");
    size_t end = JobText_Length(command);
    for (size_t i = 0; i < numberLength; i++)
        command[end + i] = (WCHAR)(uint8_t)numberText[i];
    command[end + numberLength] = L'\0';

    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    DWORD error = ERROR_SUCCESS;
    // The application name is given, so no search path decides which
    // tesrun.exe runs.
    if (CreateProcessW(application, command, NULL, NULL, FALSE, 0, NULL, NULL,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        error = GetLastError();
        if (error == ERROR_SUCCESS)
            error = ERROR_FILE_NOT_FOUND;
    }
    LocalFree(application);
    LocalFree(command);
    return error;
}
