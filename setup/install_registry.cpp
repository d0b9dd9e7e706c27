// The registry entries of an installation, in the order they are written:
// the drop handler for directories, folders and drives, its class and
// server, its approval, and the logon command that resumes unfinished jobs.
#include "setup.h"

#include <cstring>

struct INSTALL_ENTRY {
    HKEY root;
    const char *key;        // NULL: another value of the previous key
    bool mustExist;         // opened, not created
    const char *valueName;  // NULL: the default value
    const char *data;
};

static const INSTALL_ENTRY c_InstallEntries[] = {
    {HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Classes\\Directory\\shellex\\DragDropHandlers\\" SETUP_HANDLER_NAME,
     false, NULL, SETUP_CLASS_ID},
    {HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Classes\\Folder\\shellex\\DragDropHandlers\\" SETUP_HANDLER_NAME,
     false, NULL, SETUP_CLASS_ID},
    {HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Classes\\Drive\\shellex\\DragDropHandlers\\" SETUP_HANDLER_NAME,
     false, NULL, SETUP_CLASS_ID},
    {HKEY_CLASSES_ROOT, "CLSID\\" SETUP_CLASS_ID, false, NULL, SETUP_HANDLER_NAME},
    // No folder: the Windows folder is on the search path.
    {HKEY_CLASSES_ROOT, "CLSID\\" SETUP_CLASS_ID "\\InProcServer32", false, NULL,
     SETUP_HOOK_FILE},
    {NULL, NULL, false, "ThreadingModel", "Apartment"},
    {HKEY_LOCAL_MACHINE,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
     false, SETUP_CLASS_ID, SETUP_HANDLER_NAME},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     true, SETUP_RUN_VALUE, SETUP_COPIER_FILE " /startup"},
};

static HKEY Install_OpenKey(const INSTALL_ENTRY *entry)
{
    HKEY key = NULL;
    LONG result;
    if (entry->mustExist) {
        result = RegOpenKeyExA(entry->root, entry->key, 0, KEY_ALL_ACCESS, &key);
    } else {
        DWORD disposition;
        result = RegCreateKeyExA(entry->root, entry->key, 0, NULL,
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                                 &key, &disposition);
    }
    return result == ERROR_SUCCESS ? key : NULL;
}

// Writes every entry, going on after a failure.  Returns false when any
// key could not be created or opened or any value not be written.
bool Install_WriteRegistry(void)
{
    bool written = true;
    HKEY key = NULL;
    bool keyFailed = false;
    for (const INSTALL_ENTRY &entry : c_InstallEntries) {
        if (entry.key) {
            if (key)
                RegCloseKey(key);
            key = Install_OpenKey(&entry);
            keyFailed = key == NULL;
            if (keyFailed)
                written = false;
        }
        if (keyFailed)
            continue;   // counted once, with its key
        // The stored length counts the terminating zero.
        if (RegSetValueExA(key, entry.valueName, 0, REG_SZ,
                           (const BYTE *)entry.data,
                           (DWORD)strlen(entry.data) + 1) != ERROR_SUCCESS)
            written = false;
    }
    if (key)
        RegCloseKey(key);
    return written;
}
