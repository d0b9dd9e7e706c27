// tessubmit: hands a job to the copier the way a drop does, without the
// shell.  Writes the job file with the drop handler's writer and starts
// tesrun.exe on its number.
//
//   tessubmit [/move] [/copier FOLDER] [/nostart] TARGET SOURCE...
//
// /copier starts FOLDER\tesrun.exe instead of the Windows folder's copy;
// /nostart only writes the job file.  Prints the job number.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "job_file_writer.h"

struct SUBMIT_SOURCES {
    char **paths;
};

static void Submit_GetSource(void *context, uint32_t index, char *buffer)
{
    SUBMIT_SOURCES *sources = (SUBMIT_SOURCES *)context;
    lstrcpynA(buffer, sources->paths[index], JOB_ITEM_BUFFER);
}

static int Submit_Usage(void)
{
    fprintf(stderr, "usage: tessubmit [/move] [/copier FOLDER] [/nostart] "
                    "TARGET SOURCE...\n");
    return 2;
}

int main(int argc, char **argv)
{
    int mode = JOB_MODE_COPY;
    const char *copierFolder = NULL;
    bool start = true;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == '/'; arg++) {
        if (strcmp(argv[arg], "/move") == 0)
            mode = JOB_MODE_MOVE;
        else if (strcmp(argv[arg], "/nostart") == 0)
            start = false;
        else if (strcmp(argv[arg], "/copier") == 0 && arg + 1 < argc)
            copierFolder = argv[++arg];
        else
            return Submit_Usage();
    }
    if (argc - arg < 2)
        return Submit_Usage();

    const char *target = argv[arg];
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
    if (start && JobFile_StartCopier(copierFolder, number) <= 31) {
        fprintf(stderr, "tessubmit: cannot start the copier for job %s\n",
                number);
        return 1;
    }
    return 0;
}
