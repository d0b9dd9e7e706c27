// The list of items a job left out (see skipped_items.h): one growing text,
// kept for the life of the process.
#include "skipped_items.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "copy_state.h"

// Held for a few instructions at a time; the scan and the runner never add
// at once, so it is hardly ever contended.
static std::atomic_flag g_skippedLock = ATOMIC_FLAG_INIT;
static wchar_t *g_skippedText;         // NULL until the first item
static size_t g_skippedLength;
static size_t g_skippedCapacity;
static int g_skippedCount;

static void SkippedItems_Lock(void)
{
    while (g_skippedLock.test_and_set(std::memory_order_acquire))
        Sleep(0);
}

static void SkippedItems_Unlock(void)
{
    g_skippedLock.clear(std::memory_order_release);
}

// Appends `text`; an item that finds no memory is still counted, so the end
// of the job never claims that nothing was left out.
static void SkippedItems_Append(const wchar_t *text)
{
    size_t length = wcslen(text);
    if (g_skippedLength + length + 1 > g_skippedCapacity) {
        size_t capacity = (g_skippedLength + length + 1) * 2;
        wchar_t *grown =
            (wchar_t *)realloc(g_skippedText, capacity * sizeof(wchar_t));
        if (!grown)
            return;
        g_skippedText = grown;
        g_skippedCapacity = capacity;
    }
    memcpy(g_skippedText + g_skippedLength, text,
           (length + 1) * sizeof(wchar_t));
    g_skippedLength += length;
}

void SkippedItems_Add(const wchar_t *path, const wchar_t *reason)
{
    SkippedItems_Lock();
    SkippedItems_Append(path);
    SkippedItems_Append(L"\r\n    ");
    SkippedItems_Append(reason);
    SkippedItems_Append(L"\r\n");
    g_skippedCount++;
    SkippedItems_Unlock();
}

int SkippedItems_Count(void)
{
    SkippedItems_Lock();
    int count = g_skippedCount;
    SkippedItems_Unlock();
    return count;
}

const wchar_t *SkippedItems_Text(void)
{
    return g_skippedText ? g_skippedText : L"";
}

bool SkippedItems_WriteFile(const wchar_t *jobFilePath, wchar_t *listPath)
{
    lstrcpynW(listPath, jobFilePath, COPIER_PATH_CHARS - 16);
    lstrcatW(listPath, L".skipped.txt");
    SkippedItems_Lock();
    // The byte order mark tells Notepad (and anything else) it is UTF-8.
    std::string bytes = "\xEF\xBB\xBF";
    int size = WideCharToMultiByte(CP_UTF8, 0, SkippedItems_Text(),
                                   (int)g_skippedLength, NULL, 0, NULL, NULL);
    size_t head = bytes.size();
    bytes.resize(head + (size_t)size);
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, SkippedItems_Text(),
                            (int)g_skippedLength, &bytes[head], size, NULL,
                            NULL);
    SkippedItems_Unlock();

    HANDLE file = CreateFileW(listPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD wrote = 0;
    BOOL written = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &wrote,
                             NULL) &&
                   wrote == bytes.size();
    if (!CloseHandle(file))
        written = FALSE;
    if (!written)
        DeleteFileW(listPath);
    return written != FALSE;
}
