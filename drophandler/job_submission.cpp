// The job submission of a chosen drop command: the dropped paths and the
// target folder go into a new job file, and the copier is started on it.
// Every failure is told to the user in a message owned by the shell's
// window; the copier only ever starts on a job file that is complete.
#include "tes_menu.h"

#include "job_file_writer.h"

#include <cstdio>
#include <cstring>

enum { SUBMIT_MESSAGE_SIZE = 1024 };

static void Submit_Message(HWND hwnd, const char *text)
{
    MessageBoxA(hwnd, text, "Error", MB_OK);
}

// The system's text for `error`, without its line break, or a number.
static void Submit_ErrorText(DWORD error, char *out, DWORD outSize)
{
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
        error, 0, out, outSize, NULL);
    while (length > 0 && (out[length - 1] == '\r' || out[length - 1] == '\n' ||
                          out[length - 1] == ' '))
        out[--length] = '\0';
    if (length == 0)
        snprintf(out, outSize, "error %lu", (unsigned long)error);
}

// A path cut to the item buffer would name another file or none, so an
// item that does not fit stops the whole drop.  Returns false after
// telling the user which item it is.
static bool Submit_ItemsFit(HWND hwnd, HDROP drop, UINT count)
{
    for (UINT index = 0; index < count; index++) {
        UINT length = DragQueryFileA(drop, index, NULL, 0);
        if (length < JOB_ITEM_BUFFER)
            continue;
        static const char lead[] =
            "This item's path is too long to be copied or moved:\n\n";
        char *text = (char *)LocalAlloc(LPTR, sizeof lead + length + 1);
        if (!text) {
            Submit_Message(hwnd, "An item's path is too long to be copied "
                                 "or moved.");
            return false;
        }
        lstrcpyA(text, lead);
        DragQueryFileA(drop, index, text + sizeof lead - 1, length + 1);
        Submit_Message(hwnd, text);
        LocalFree(text);
        return false;
    }
    return true;
}

static void Submit_GetItem(void *context, uint32_t index, char *buffer)
{
    DragQueryFileA((HDROP)context, index, buffer, JOB_ITEM_BUFFER);
}

// Writes the job and starts the copier on it.  Returns the HRESULT that
// InvokeCommand hands back to the shell.
static HRESULT Submit_Job(HWND hwnd, const char *targetFolder, HDROP drop)
{
    char text[SUBMIT_MESSAGE_SIZE];
    if (targetFolder[0] == '\0') {
        Submit_Message(hwnd, "The items can't be copied or moved here: the "
                             "target is not a folder on a disk.");
        return E_INVALIDARG;
    }
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    if (!Submit_ItemsFit(hwnd, drop, count))
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    char number[JOB_NAME_CHARS];
    DWORD error = JobFile_Write(TODOCopy ? JOB_MODE_COPY : JOB_MODE_MOVE,
                                targetFolder, count, Submit_GetItem, drop,
                                number);
    if (error != ERROR_SUCCESS) {
        char reason[SUBMIT_MESSAGE_SIZE / 2];
        Submit_ErrorText(error, reason, sizeof reason);
        snprintf(text, sizeof text,
                 "The job could not be written to the temporary folder, so "
                 "nothing was copied or moved:\n\n%s",
                 reason);
        Submit_Message(hwnd, text);
        return HRESULT_FROM_WIN32(error);
    }

    UINT started = JobFile_StartCopier(NULL, number);
    if (started <= 31) {
        // The job file stays: the resume scan at the next logon offers it.
        char windows[MAX_PATH];
        if (GetWindowsDirectoryA(windows, sizeof windows) == 0)
            windows[0] = '\0';
        snprintf(text, sizeof text,
                 "The copier %s\\tesrun.exe could not be started. The job "
                 "is kept and will be offered again at the next logon.",
                 windows);
        Submit_Message(hwnd, text);
        return started > 0 ? HRESULT_FROM_WIN32(started) : E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT TesMenu_CheckForHDROP(_CSampleTesMenu *self, HWND hwnd)
{
    FORMATETC format = {CF_HDROP, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    HRESULT result = IDataObject_GetData(self->_pdtobj, &format, &medium);
    if (FAILED(result)) {
        Submit_Message(hwnd, "Copier only supports files/folders");
        return result;
    }
    result = Submit_Job(hwnd, self->_szTargetFolder, (HDROP)medium.hGlobal);
    // What ReleaseStgMedium does for global memory.
    if (medium.pUnkForRelease)
        IUnknown_Release(medium.pUnkForRelease);
    else
        GlobalFree(medium.hGlobal);
    return result;
}
