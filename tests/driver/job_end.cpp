// The edges of a job as the user meets them (see job_end.h).
#include "job_end.h"

#include "resource_ids.h"

HWND Driver_WaitForSkippedList(const DRIVER_COPIER *copier, DWORD timeoutMs)
{
    return Driver_WaitForDialog(copier, "Items Skipped", timeoutMs);
}

bool Driver_CloseSkippedList(DRIVER_COPIER *copier, std::string *text)
{
    HWND list = Driver_WaitForSkippedList(copier);
    if (!list)
        return false;
    if (text)
        *text = Driver_GetItemText(list, IDC_SKIPPED_LIST);
    Driver_Click(list, IDC_SKIPPED_OK);
    return Driver_WaitForExit(copier);
}

std::string Driver_SkippedListFile(const std::string &jobFile)
{
    return jobFile + ".skipped.txt";
}
