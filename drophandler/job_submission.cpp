// The job submission of a chosen drop command: the dropped paths and the
// target folder go into a new job file, and the copier is started on it.
// Names are taken as the shell holds them (UTF-16, DragQueryFileW), so a
// name outside the code page reaches the job as itself, never best-fitted
// into the name of another file.  Every failure is told to the user in a
// message owned by the shell's window; the copier only ever starts on a
// job file that is complete.
#include "tes_menu.h"

#include "job_file_writer.h"

#include <cwchar>

enum {
    SUBMIT_MESSAGE_SIZE = 1024,
    SUBMIT_SHOWN_PATH = 300,   // units of a refused path that a message shows
};

static void Submit_Message(HWND hwnd, const WCHAR *text)
{
    MessageBoxW(hwnd, text, L"Error", MB_OK);
}

// The system's text for `error`, without its line break, or a number.
static void Submit_ErrorText(DWORD error, WCHAR *out, DWORD outSize)
{
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
        error, 0, out, outSize, NULL);
    while (length > 0 && (out[length - 1] == L'\r' ||
                          out[length - 1] == L'\n' || out[length - 1] == L' '))
        out[--length] = L'\0';
    if (length == 0)
        _snwprintf(out, outSize, L"error %lu", (unsigned long)error);
    out[outSize - 1] = L'\0';
}

// The dropped items, one at a time, into a buffer that grows to the
// longest name.
struct SUBMIT_ITEMS {
    HDROP drop;
    WCHAR *buffer;
    UINT bufferUnits;
};

static DWORD Submit_GetItem(void *context, uint32_t index, const WCHAR **path)
{
    SUBMIT_ITEMS *items = (SUBMIT_ITEMS *)context;
    UINT length = DragQueryFileW(items->drop, index, NULL, 0);
    if (length + 1 > items->bufferUnits) {
        WCHAR *grown =
            (WCHAR *)LocalAlloc(LMEM_FIXED, (length + 1) * sizeof(WCHAR));
        if (!grown)
            return ERROR_NOT_ENOUGH_MEMORY;
        LocalFree(items->buffer);
        items->buffer = grown;
        items->bufferUnits = length + 1;
    }
    items->buffer[0] = L'\0';
    DragQueryFileW(items->drop, index, items->buffer, length + 1);
    items->buffer[length] = L'\0';
    *path = items->buffer;
    return ERROR_SUCCESS;
}

// A path cut to fit would name another file or none, so an item longer
// than any path Windows can open stops the whole drop.  Returns false
// after telling the user which item it is.
static bool Submit_ItemsFit(HWND hwnd, SUBMIT_ITEMS *items, UINT count)
{
    for (UINT index = 0; index < count; index++) {
        if (DragQueryFileW(items->drop, index, NULL, 0) <= JOB_WIDE_PATH_MAX)
            continue;
        const WCHAR *path = L"";
        Submit_GetItem(items, index, &path);
        WCHAR text[SUBMIT_MESSAGE_SIZE];
        _snwprintf(text, ARRAYSIZE(text),
                   L"This item's path is too long to be copied or moved:"
                   L"\n\n%.*ls...",
                   (int)SUBMIT_SHOWN_PATH, path);
        text[ARRAYSIZE(text) - 1] = L'\0';
        Submit_Message(hwnd, text);
        return false;
    }
    return true;
}

// Writes the job and starts the copier on it.  Returns the HRESULT that
// InvokeCommand hands back to the shell.
static HRESULT Submit_Job(HWND hwnd, const WCHAR *targetFolder, HDROP drop,
                          int TODOCopy)
{
    WCHAR text[SUBMIT_MESSAGE_SIZE];
    if (targetFolder[0] == L'\0') {
        Submit_Message(hwnd, L"The items can't be copied or moved here: the "
                             L"target is not a folder on a disk.");
        return E_INVALIDARG;
    }
    SUBMIT_ITEMS items = {drop, NULL, 0};
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, NULL, 0);
    if (!Submit_ItemsFit(hwnd, &items, count)) {
        LocalFree(items.buffer);
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }

    char number[JOB_NAME_CHARS];
    DWORD error = JobFile_Write(TODOCopy ? JOB_MODE_COPY : JOB_MODE_MOVE,
                                targetFolder, count, Submit_GetItem, &items,
                                number);
    LocalFree(items.buffer);
    if (error != ERROR_SUCCESS) {
        WCHAR reason[SUBMIT_MESSAGE_SIZE / 2];
        Submit_ErrorText(error, reason, ARRAYSIZE(reason));
        _snwprintf(text, ARRAYSIZE(text),
                   L"The job could not be written to the temporary folder, "
                   L"so nothing was copied or moved:\n\n%ls",
                   reason);
        text[ARRAYSIZE(text) - 1] = L'\0';
        Submit_Message(hwnd, text);
        return HRESULT_FROM_WIN32(error);
    }

    error = JobFile_StartCopier(NULL, number);
    if (error != ERROR_SUCCESS) {
        // The job file stays: the resume scan at the next logon offers it.
        WCHAR windows[MAX_PATH];
        UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            windows[0] = L'\0';
        _snwprintf(text, ARRAYSIZE(text),
                   L"The copier %ls\\tesrun.exe could not be started. The "
                   L"job is kept and will be offered again at the next logon.",
                   windows);
        text[ARRAYSIZE(text) - 1] = L'\0';
        Submit_Message(hwnd, text);
        return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

HRESULT TesMenu_CheckForHDROP(_CSampleTesMenu *self, HWND hwnd, int TODOCopy)
{
    FORMATETC format = {CF_HDROP, NULL, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    HRESULT result = IDataObject_GetData(self->_pdtobj, &format, &medium);
    if (FAILED(result)) {
        Submit_Message(hwnd, L"Copier only supports files/folders");
        return result;
    }
    result = Submit_Job(hwnd, self->_szTargetFolder, (HDROP)medium.hGlobal,
                        TODOCopy);
    // What ReleaseStgMedium does for global memory.
    if (medium.pUnkForRelease)
        IUnknown_Release(medium.pUnkForRelease);
    else
        GlobalFree(medium.hGlobal);
    return result;
}
