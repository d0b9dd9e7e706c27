// tesdrop: drops files and folders onto a folder through the real drop
// handler, the way the shell does after a right-drag: the shell's data
// object of the items, Initialize with the target folder, the drop menu,
// and the chosen command.  The handler writes the job and starts the
// installed copier (the Windows folder's tesrun.exe).
//
//   tesdrop [/move] [/dll PATH] TARGET SOURCE...
//
// Without /dll the handler comes from the registered class, as the shell
// finds it; /dll loads the given teshook.dll by file.  Items from several
// folders are dropped folder by folder, as separate drags would be.  The
// command line is read as UTF-16, so any name can be dropped.
// Exit code 0 when every drop's command succeeded.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "shell_drop.h"

static int Drop_Usage(void)
{
    fprintf(stderr, "usage: tesdrop [/move] [/dll PATH] TARGET SOURCE...\n");
    return 2;
}

// Length of the folder part of `path` (up to its last backslash).
static size_t Drop_FolderLength(const WCHAR *path)
{
    const WCHAR *slash = wcsrchr(path, L'\\');
    return slash ? (size_t)(slash - path) : 0;
}

static bool Drop_SameFolder(const WCHAR *a, const WCHAR *b)
{
    size_t length = Drop_FolderLength(a);
    return length == Drop_FolderLength(b) &&
           CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a,
                          (int)length, b, (int)length) == CSTR_EQUAL;
}

static HRESULT Drop_Group(const WCHAR *dll, const WCHAR *target,
                          const WCHAR *const *items, int count, UINT offset)
{
    IShellExtInit *handler = NULL;
    HMODULE module = NULL;
    HRESULT result = ShellDrop_CreateHandler(dll, &handler, &module);
    if (FAILED(result)) {
        fprintf(stderr, "tesdrop: no drop handler (0x%08lx)\n",
                (unsigned long)result);
        return result;
    }
    IDataObject *data = NULL;
    result = ShellDrop_MakeDataObject(items, count, &data);
    if (FAILED(result)) {
        fprintf(stderr, "tesdrop: no data object for the %d items of one "
                        "folder (0x%08lx)\n",
                count, (unsigned long)result);
    } else {
        result = ShellDrop_Drop(handler, target, data, offset, NULL, NULL);
        if (FAILED(result))
            fprintf(stderr, "tesdrop: the drop command failed (0x%08lx)\n",
                    (unsigned long)result);
        data->Release();
    }
    handler->Release();
    if (module)
        FreeLibrary(module);
    return result;
}

int main(void)
{
    int argc = 0;
    WCHAR **argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 1;
    UINT offset = 0;   // "&Tessary Copy Here"
    const WCHAR *dll = NULL;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == L'/'; arg++) {
        if (wcscmp(argv[arg], L"/move") == 0)
            offset = 1;   // "&Tessary Move Here"
        else if (wcscmp(argv[arg], L"/dll") == 0 && arg + 1 < argc)
            dll = argv[++arg];
        else
            return Drop_Usage();
    }
    if (argc - arg < 2)
        return Drop_Usage();
    const WCHAR *target = argv[arg];
    WCHAR **sources = argv + arg + 1;
    int sourceCount = argc - arg - 1;

    if (FAILED(CoInitialize(NULL)))
        return 1;
    int status = 0;
    for (int first = 0; first < sourceCount;) {
        int end = first + 1;
        while (end < sourceCount && Drop_SameFolder(sources[first], sources[end]))
            end++;
        if (FAILED(Drop_Group(dll, target, sources + first, end - first,
                              offset)))
            status = 1;
        first = end;
    }
    CoUninitialize();
    LocalFree(argv);
    return status;
}
