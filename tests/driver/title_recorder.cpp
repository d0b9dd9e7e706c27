// Sets the title hook on a copier started suspended; reads what it wrote.
#include "title_recorder.h"

#include "test_files.h"

bool Driver_HookTitles(DRIVER_COPIER *copier)
{
    static HMODULE library;
    static HOOKPROC hook;
    if (!library) {
        library = LoadLibraryA(
            Files_Join(Driver_BinFolder(), "title_hook.dll").c_str());
        if (!library)
            return false;
        hook = (HOOKPROC)(void *)GetProcAddress(library,
                                                "TitleHook_CallWndProc");
    }
    if (!hook)
        return false;
    copier->titleHook = SetWindowsHookExA(WH_CALLWNDPROC, hook, library,
                                          copier->process.dwThreadId);
    return copier->titleHook != NULL;
}

std::vector<std::string> Driver_RecordedTitles(const std::string &tempFolder)
{
    std::vector<std::string> titles;
    std::string log;
    if (!Driver_ReadFile(Files_Join(tempFolder, "titles.log"), &log))
        return titles;
    size_t start = 0;
    for (size_t end; (end = log.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string title = log.substr(start, end - start);
        if (titles.empty() || titles.back() != title)
            titles.push_back(title);
    }
    return titles;
}
