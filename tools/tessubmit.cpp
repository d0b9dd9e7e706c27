// tessubmit: hands a job to the copier the way a drop does, without the
// shell.  Writes the job file with the drop handler's writer and starts
// tesrun.exe on its number.
//
//   tessubmit [/move] [/copier FOLDER] [/nostart] TARGET SOURCE...
//
// /copier starts FOLDER\tesrun.exe instead of the Windows folder's copy;
// /nostart only writes the job file.  Prints the job number.  The command
// line is read as UTF-16, so paths of any name reach the job as they are.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "job_file_writer.h"

struct SUBMIT_SOURCES {
    WCHAR **paths;
};

static DWORD Submit_GetSource(void *context, uint32_t index,
                              const WCHAR **path)
{
    SUBMIT_SOURCES *sources = (SUBMIT_SOURCES *)context;
    *path = sources->paths[index];
    return ERROR_SUCCESS;
}

static int Submit_Usage(void)
{
    fprintf(stderr, "usage: tessubmit [/move] [/copier FOLDER] [/nostart] "
                    "TARGET SOURCE...\n");
    return 2;
}

int main(void)
{
    int argc = 0;
    WCHAR **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 1;
    int mode = JOB_MODE_COPY;
    const WCHAR *copierFolder = NULL;
    bool start = true;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == L'/'; arg++) {
        if (wcscmp(argv[arg], L"/move") == 0)
            mode = JOB_MODE_MOVE;
        else if (wcscmp(argv[arg], L"/nostart") == 0)
            start = false;
        else if (wcscmp(argv[arg], L"/copier") == 0 && arg + 1 < argc)
            copierFolder = argv[++arg];
        else
            return Submit_Usage();
    }
    if (argc - arg < 2)
        return Submit_Usage();

    const WCHAR *target = argv[arg];
    SUBMIT_SOURCES sources = {argv + arg + 1};
    char number[4];
    DWORD error = JobFile_Write(mode, target, (uint32_t)(argc - arg - 1),
                                Submit_GetSource, &sources, number);
    if (error != ERROR_SUCCESS) {
        fprintf(stderr, "tessubmit: cannot write the job file (error %lu)\n",
                (unsigned long)error);
        return 1;
    }
    printf("%s\n", number);
    fflush(stdout);
    if (start) {
        error = JobFile_StartCopier(copierFolder, number);
        if (error != ERROR_SUCCESS) {
            fprintf(stderr,
                    "tessubmit: cannot start the copier for job %s "
                    "(error %lu)\n",
                    number, (unsigned long)error);
            return 1;
        }
    }
    LocalFree(argv);
    return 0;
}
