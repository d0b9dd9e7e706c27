// Writing a job file into the temporary folder, and starting the copier.
#include "job_file_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

enum {
    WRITE_BUFFER_SIZE = 16384,
    RANDOM_DRAWS = 64,  // after this many clashes, probe the numbers in turn
};

// Collects the file's bytes and writes them in large pieces; remembers the
// first failure so the caller checks once at the end.
struct JOB_WRITER {
    HANDLE file;
    DWORD error;
    DWORD used;
    uint8_t buffer[WRITE_BUFFER_SIZE];
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

// Creates the job file under a number nobody uses yet.  Returns the handle
// (or INVALID_HANDLE_VALUE with *error set) and fills path and numberText.
static HANDLE JobFile_CreateUnique(const char *tempFolder, char *path,
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
        wsprintfA(path, "%s" JOB_NAME_PREFIX "%s", tempFolder, numberText);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW,
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

DWORD JobFile_Write(int mode, const char *targetFolder, uint32_t sourceCount,
                    JOB_SOURCE_FN getSource, void *context, char *numberText)
{
    char tempFolder[JOB_PATH_BUFFER];
    char path[JOB_PATH_BUFFER];
    numberText[0] = '\0';

    if (sourceCount > JOB_MAX_SOURCES)
        return ERROR_INVALID_PARAMETER;
    DWORD tempLength = GetTempPathA(sizeof tempFolder, tempFolder);
    if (tempLength == 0)
        return GetLastError() ? GetLastError() : ERROR_PATH_NOT_FOUND;
    if (tempLength > JOB_TEMP_PATH_MAX)
        return ERROR_FILENAME_EXCED_RANGE;
    if (strlen(targetFolder) >= JOB_ITEM_BUFFER)
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
        DeleteFileA(path);
        numberText[0] = '\0';
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    writer->file = file;
    writer->error = ERROR_SUCCESS;
    writer->used = 0;

    uint8_t filler[JOB_FILLER_SIZE];
    for (int i = 0; i < JOB_FILLER_SIZE; i++)
        filler[i] = (uint8_t)(rand() & 0xFF);
    uint8_t head[JOB_HEADER_SIZE + JOB_COUNT_SIZE];
    JobFile_EncodeHead(head, filler, mode, sourceCount);
    JobWriter_Put(writer, head, sizeof head);
    JobWriter_Put(writer, targetFolder, (DWORD)strlen(targetFolder) + 1);

    char item[JOB_ITEM_BUFFER];
    for (uint32_t i = 0; i < sourceCount && writer->error == ERROR_SUCCESS;
         i++) {
        item[0] = '\0';
        getSource(context, i, item);
        item[JOB_ITEM_BUFFER - 1] = '\0';
        JobWriter_Put(writer, item, (DWORD)strlen(item) + 1);
    }
    JobWriter_Flush(writer);
    error = writer->error;
    LocalFree(writer);

    if (!CloseHandle(file) && error == ERROR_SUCCESS)
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        // A half-written job would be relaunched at every logon: remove it.
        DeleteFileA(path);
        numberText[0] = '\0';
    }
    return error;
}

UINT JobFile_StartCopier(const char *copierFolder, const char *numberText)
{
    char command[MAX_PATH + 64];
    if (copierFolder) {
        if (strlen(copierFolder) >= MAX_PATH)
            return 0;
        lstrcpyA(command, copierFolder);
    } else {
        UINT length = GetWindowsDirectoryA(command, JOB_PATH_BUFFER);
        if (length == 0 || length >= JOB_PATH_BUFFER)
            return 0;
    }
    lstrcatA(command, "\\tesrun.exe ");
    lstrcatA(command, numberText);
    return WinExec(command, SW_SHOWNORMAL);
}
