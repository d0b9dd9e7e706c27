// UninstallAll: deletes the two installed files and the registry entries.
// Every step is attempted whatever failed before; what is gone stays gone.
// Something already absent counts as a failure, as the messages say.
#include "setup.h"

static const char *const c_HandlerParents[] = {
    "SOFTWARE\\Classes\\Directory\\shellex\\DragDropHandlers",
    "SOFTWARE\\Classes\\Folder\\shellex\\DragDropHandlers",
    "SOFTWARE\\Classes\\Drive\\shellex\\DragDropHandlers",
};

// Opens `root`\`parent` and deletes its subkey `child`.
static bool Uninstall_DeleteKey(HKEY root, const char *parent, const char *child)
{
    HKEY key;
    if (RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    bool deleted = RegDeleteKeyA(key, child) == ERROR_SUCCESS;
    RegCloseKey(key);
    return deleted;
}

static bool Uninstall_DeleteValue(HKEY root, const char *keyPath, const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    bool deleted = RegDeleteValueA(key, name) == ERROR_SUCCESS;
    RegCloseKey(key);
    return deleted;
}

static bool Uninstall_DeleteFile(const char *name)
{
    char path[SETUP_WINDOWS_BUFFER + MAX_PATH];
    return Setup_InstalledPath(name, path) && DeleteFileA(path);
}

bool UninstallAll(void)
{
    bool filesFailed = false;
    bool registryFailed = false;
    if (!Uninstall_DeleteFile(SETUP_COPIER_FILE))
        filesFailed = true;
    if (!Uninstall_DeleteFile(SETUP_HOOK_FILE))
        filesFailed = true;

    for (const char *parent : c_HandlerParents)
        if (!Uninstall_DeleteKey(HKEY_LOCAL_MACHINE, parent, SETUP_HANDLER_NAME))
            registryFailed = true;
    // NT and Wine refuse to delete a key that still has subkeys: the
    // server's key goes first, then the class key.
    if (!Uninstall_DeleteKey(HKEY_CLASSES_ROOT, "CLSID",
                             SETUP_CLASS_ID "\\InProcServer32"))
        registryFailed = true;
    if (!Uninstall_DeleteKey(HKEY_CLASSES_ROOT, "CLSID", SETUP_CLASS_ID))
        registryFailed = true;
    if (!Uninstall_DeleteValue(
            HKEY_LOCAL_MACHINE,
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
            SETUP_CLASS_ID))
        registryFailed = true;
    if (!Uninstall_DeleteValue(HKEY_LOCAL_MACHINE,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                               SETUP_RUN_VALUE))
        registryFailed = true;

    if (registryFailed)
        Setup_Message("Can't delete all registry entries. Logon as administrator.",
                      "Uninstall failed");
    if (filesFailed)
        Setup_Message("Can't delete all files. Close Tessary Copy if you are using it.",
                      "Uninstall failed");
    if (registryFailed || filesFailed)
        return false;
    Setup_SetInstallCaption("Install");
    Setup_Message("Tessary Copy successfully removed", "Finished");
    return true;
}
