// The list of items a job left out (see skipped_items.h): one growing text,
// kept for the life of the process.
#include "skipped_items.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

// Held for a few instructions at a time; the scan and the runner never add
// at once, so it is hardly ever contended.
static std::atomic_flag g_skippedLock = ATOMIC_FLAG_INIT;
static char *g_skippedText;         // NULL until the first item
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
static void SkippedItems_Append(const char *text)
{
    size_t length = strlen(text);
    if (g_skippedLength + length + 1 > g_skippedCapacity) {
        size_t capacity = (g_skippedLength + length + 1) * 2;
        char *grown = (char *)realloc(g_skippedText, capacity);
        if (!grown)
            return;
        g_skippedText = grown;
        g_skippedCapacity = capacity;
    }
    memcpy(g_skippedText + g_skippedLength, text, length + 1);
    g_skippedLength += length;
}

void SkippedItems_Add(const char *path, const char *reason)
{
    SkippedItems_Lock();
    SkippedItems_Append(path);
    SkippedItems_Append("\r\n    ");
    SkippedItems_Append(reason);
    SkippedItems_Append("\r\n");
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

const char *SkippedItems_Text(void)
{
    return g_skippedText ? g_skippedText : "";
}

bool SkippedItems_WriteFile(const char *jobFilePath, char *listPath)
{
    wsprintfA(listPath, "%s.skipped.txt", jobFilePath);
    HANDLE file = CreateFileA(listPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    SkippedItems_Lock();
    DWORD wrote = 0;
    BOOL written = WriteFile(file, SkippedItems_Text(), (DWORD)g_skippedLength,
                             &wrote, NULL) &&
                   wrote == g_skippedLength;
    SkippedItems_Unlock();
    if (!CloseHandle(file))
        written = FALSE;
    if (!written)
        DeleteFileA(listPath);
    return written != FALSE;
}
