// tesbench: the Windows side of bench/run.sh.  Each command prints its
// figures on standard output, one sample a line, for the script to gather.
//
//   tesbench loop SOURCE TARGET [CHUNK]
//       the bare chunk loop: 1,000,000-byte (or CHUNK-byte) ReadFile and
//       WriteFile, nothing else
//   tesbench limit SOURCE TARGET_FOLDER SECONDS POSITION...
//       the achieved rate at each slider position of one copy:
//       "position limit bytes_per_second percent"
//   tesbench pause SOURCE TARGET_FOLDER COUNT
//       milliseconds from a Pause click to the last byte written
//   tesbench cancel SOURCE TARGET_FOLDER COUNT
//       milliseconds from a Cancel click to the copier's end, a copy each
//   tesbench halfway SOURCE_FOLDER TARGET_FOLDER
//       starts a copy of the folder and kills the copier once half of its
//       bytes are in the target; prints the job file's folder and number
//   tesbench relaunch TEMP_FOLDER NUMBER
//       starts the copier again on that job, answers a replace question
//       with "Copy rest" (or Replace where none is offered) and waits for
//       its end; prints the questions it answered
//
// The copier is the tesrun.exe beside this program, driven through the
// test driver's window calls.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "resource_ids.h"
#include "speed_table.h"
#include "ui_driver.h"

enum {
    BENCH_JOB_NUMBER = 777,
    BENCH_CHUNK = 1000000,
    BENCH_QUIET_MS = 1000,           // no growth this long: writing stopped
    BENCH_SETTLE_MS = 2000,          // a new limit's first budget drained
    BENCH_STARTED_BYTES = 20000000,  // a copy well under way
    BENCH_RESUMED_BYTES = 20000000,  // written after a Resume before pausing
};

static double g_tickSeconds;

static double Bench_Now(void)
{
    LARGE_INTEGER now;
    if (g_tickSeconds == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        g_tickSeconds = 1.0 / (double)frequency.QuadPart;
    }
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * g_tickSeconds;
}

static long long Bench_FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// Bytes of every file below `folder`.
static long long Bench_TreeSize(const std::string &folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    long long total = 0;
    do {
        if (strcmp(entry.cFileName, ".") == 0 ||
            strcmp(entry.cFileName, "..") == 0)
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            total += Bench_TreeSize(folder + "\\" + entry.cFileName);
        else
            total += ((long long)entry.nFileSizeHigh << 32) | entry.nFileSizeLow;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return total;
}

static std::string Bench_Target(const std::string &folder,
                                const std::string &source)
{
    return folder + "\\" + source.substr(source.find_last_of('\\') + 1);
}

static bool Bench_Ended(DRIVER_COPIER *copier)
{
    return WaitForSingleObject(copier->process.hProcess, 0) == WAIT_OBJECT_0;
}

// Waits until `path` has at least `bytes`; false when the copier ended or
// nothing came within the driver's time-out.
static bool Bench_WaitForSize(DRIVER_COPIER *copier, const std::string &path,
                              long long bytes)
{
    DWORD start = GetTickCount();
    while (Bench_FileSize(path) < bytes) {
        if (Bench_Ended(copier) || GetTickCount() - start > DRIVER_TIMEOUT_MS)
            return false;
        Sleep(1);
    }
    return true;
}

static int Bench_Loop(const char *sourcePath, const char *targetPath,
                      DWORD chunk)
{
    HANDLE source = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ,
                                NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                NULL);
    HANDLE target = CreateFileA(targetPath, GENERIC_WRITE, 0, NULL,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (source == INVALID_HANDLE_VALUE || target == INVALID_HANDLE_VALUE)
        return 1;
    char *buffer = (char *)malloc(chunk);
    DWORD got = 0;
    DWORD wrote = 0;
    while (ReadFile(source, buffer, chunk, &got, NULL) && got > 0) {
        if (!WriteFile(target, buffer, got, &wrote, NULL) || wrote != got)
            return 1;
    }
    CloseHandle(source);
    return CloseHandle(target) ? 0 : 1;
}

static bool Bench_StartCopy(DRIVER_RUN *run, const std::string &source,
                            const std::string &targetFolder)
{
    if (!Driver_StartJob(run, "bench", BENCH_JOB_NUMBER, 1, targetFolder,
                         {source})) {
        fprintf(stderr, "tesbench: the copier did not start\n");
        return false;
    }
    return true;
}

static void Bench_Cancel(DRIVER_RUN *run)
{
    Driver_Click(run->copier.window, IDC_PROGRESS_CANCEL);
    Driver_WaitForExit(&run->copier);
}

static int Bench_Limit(const std::string &source,
                       const std::string &targetFolder, int seconds,
                       int count, char **positions)
{
    DRIVER_RUN run;
    if (!Bench_StartCopy(&run, source, targetFolder))
        return 1;
    std::string target = Bench_Target(targetFolder, source);
    for (int i = 0; i < count; i++) {
        int position = atoi(positions[i]);
        Driver_SetSlider(run.copier.window, IDC_PROGRESS_SLIDER, position);
        Sleep(BENCH_SETTLE_MS);
        long long before = Bench_FileSize(target);
        double start = Bench_Now();
        Sleep((DWORD)seconds * 1000);
        long long after = Bench_FileSize(target);
        double elapsed = Bench_Now() - start;
        if (Bench_Ended(&run.copier)) {
            fprintf(stderr, "tesbench: the copy ended before position %d "
                            "was measured\n", position);
            return 1;
        }
        double rate = (double)(after - before) / elapsed;
        int limit = SpeedTable_Row(position)->speedLimit;
        printf("%d %d %.0f %.2f\n", position, limit, rate,
               100.0 * rate / limit);
        fflush(stdout);
    }
    Bench_Cancel(&run);
    return 0;
}

// Polls the target's size until it has not grown for BENCH_QUIET_MS;
// returns the seconds from `clicked` to the last growth seen (0 when it
// never grew after the click).
static double Bench_LastGrowth(const std::string &target, double clicked)
{
    long long size = Bench_FileSize(target);
    double last = clicked;
    for (;;) {
        long long now = Bench_FileSize(target);
        double when = Bench_Now();
        if (now != size) {
            size = now;
            last = when;
        } else if (when - last > BENCH_QUIET_MS / 1000.0) {
            return last - clicked;
        }
        Sleep(1);
    }
}

static int Bench_Pause(const std::string &source,
                       const std::string &targetFolder, int count)
{
    DRIVER_RUN run;
    if (!Bench_StartCopy(&run, source, targetFolder))
        return 1;
    std::string target = Bench_Target(targetFolder, source);
    if (!Bench_WaitForSize(&run.copier, target, BENCH_STARTED_BYTES))
        return 1;
    for (int i = 0; i < count; i++) {
        double clicked = Bench_Now();
        Driver_Click(run.copier.window, IDC_PROGRESS_PAUSE);
        double seconds = Bench_LastGrowth(target, clicked);
        printf("%.1f\n", seconds * 1000);
        fflush(stdout);
        long long paused = Bench_FileSize(target);
        Driver_Click(run.copier.window, IDC_PROGRESS_PAUSE);
        if (i + 1 < count &&
            !Bench_WaitForSize(&run.copier, target,
                               paused + BENCH_RESUMED_BYTES)) {
            fprintf(stderr, "tesbench: the copy ended after %d pauses\n",
                    i + 1);
            return 1;
        }
    }
    Bench_Cancel(&run);
    return 0;
}

static int Bench_CancelTimes(const std::string &source,
                             const std::string &targetFolder, int count)
{
    std::string target = Bench_Target(targetFolder, source);
    for (int i = 0; i < count; i++) {
        DeleteFileA(target.c_str());
        DRIVER_RUN run;
        if (!Bench_StartCopy(&run, source, targetFolder) ||
            !Bench_WaitForSize(&run.copier, target, BENCH_STARTED_BYTES))
            return 1;
        double clicked = Bench_Now();
        Driver_Click(run.copier.window, IDC_PROGRESS_CANCEL);
        WaitForSingleObject(run.copier.process.hProcess, INFINITE);
        printf("%.1f\n", (Bench_Now() - clicked) * 1000);
        fflush(stdout);
    }
    DeleteFileA(target.c_str());
    return 0;
}

static int Bench_Halfway(const std::string &source,
                         const std::string &targetFolder)
{
    long long half = Bench_TreeSize(source) / 2;
    DRIVER_RUN run;
    if (!Bench_StartCopy(&run, source, targetFolder))
        return 1;
    std::string copy = Bench_Target(targetFolder, source);
    while (Bench_TreeSize(copy) < half) {
        if (Bench_Ended(&run.copier)) {
            fprintf(stderr, "tesbench: the copy ended before halfway\n");
            return 1;
        }
        Sleep(5);
    }
    TerminateProcess(run.copier.process.hProcess, 99);
    WaitForSingleObject(run.copier.process.hProcess, INFINITE);
    printf("%s %d\n", run.temp.c_str(), BENCH_JOB_NUMBER);
    return 0;
}

// Answers every replace question of the relaunched copier until it ends.
static int Bench_Relaunch(const std::string &temp, const char *number)
{
    DRIVER_RUN run;
    if (!Driver_StartCopier(temp, number, &run.copier))
        return 1;
    int questions = 0;
    while (!Driver_WaitForExit(&run.copier, 20)) {
        if (!Driver_HasDialog(&run.copier, "Confirm File Replace"))
            continue;
        HWND dialog = Driver_WaitForDialog(&run.copier, "Confirm File Replace");
        int answer = Driver_IsItemEnabled(dialog, IDC_REPLACE_COPYREST)
                         ? IDC_REPLACE_COPYREST : IDC_REPLACE_YES;
        Driver_Click(dialog, answer);
        Driver_WaitForWindowGone(dialog);
        printf("question %s\n",
               answer == IDC_REPLACE_COPYREST ? "copy-rest" : "replace");
        questions++;
    }
    printf("questions %d\n", questions);
    return 0;
}

int main(int argc, char **argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "loop" && (argc == 4 || argc == 5))
        return Bench_Loop(argv[2], argv[3],
                          argc == 5 ? (DWORD)atoi(argv[4]) : (DWORD)BENCH_CHUNK);
    if (command == "limit" && argc >= 6)
        return Bench_Limit(argv[2], argv[3], atoi(argv[4]), argc - 5,
                           argv + 5);
    if (command == "pause" && argc == 5)
        return Bench_Pause(argv[2], argv[3], atoi(argv[4]));
    if (command == "cancel" && argc == 5)
        return Bench_CancelTimes(argv[2], argv[3], atoi(argv[4]));
    if (command == "halfway" && argc == 4)
        return Bench_Halfway(argv[2], argv[3]);
    if (command == "relaunch" && argc == 4)
        return Bench_Relaunch(argv[2], argv[3]);
    fprintf(stderr, "usage: tesbench loop|limit|pause|cancel|halfway|"
                    "relaunch ...\n");
    return 2;
}
