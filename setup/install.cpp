// InstallAll: writes the copier and the drop handler into the Windows folder
// and registers them (install_registry.cpp).  Every step is attempted that
// the order allows, and nothing already done is undone.
#include "setup.h"
#include "setup_ids.h"
#include "payload_sizes.h"

#include <cstdio>

bool Install_WriteRegistry(void);

// The bytes of payload `id`, valid for the life of the process; NULL when
// the installer lacks it.
static const void *Install_FindPayload(int id)
{
    HRSRC found = FindResourceA(g_hInstance, MAKEINTRESOURCEA(id), "Exe");
    if (!found)
        return NULL;
    HGLOBAL loaded = LoadResource(g_hInstance, found);
    return loaded ? LockResource(loaded) : NULL;
}

// Writes the payload into a temporary file beside `path` and moves it into
// place only once all of it is on disk, so a full disk never leaves a
// cut-off program where an installed one stood.  A failed close counts as
// a short write: buffered bytes may be what did not fit.  Returns false on
// any failure, with the temporary file removed again.
static bool Install_WritePayload(const char *path, const void *bytes,
                                 unsigned long count)
{
    char temporary[SETUP_WINDOWS_BUFFER + MAX_PATH + 8];
    wsprintfA(temporary, "%s.new", path);
    FILE *file = fopen(temporary, "wb");
    if (!file)
        return false;
    bool whole = fwrite(bytes, 1, count, file) == count;
    if (fclose(file) != 0)
        whole = false;
    if (whole && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileA(temporary);
    return false;
}

static void Install_FileFailed(const char *path)
{
    char text[SETUP_WINDOWS_BUFFER + MAX_PATH + 64];
    wsprintfA(text, "Could not write essential datafile to :\n%s", path);
    Setup_Message(text, "Error");
    Setup_Message("Can't write datafiles to Windows' folder.", "Error");
}

bool InstallAll(void)
{
    // Nothing is written: a handler in the 32-bit registry view would be
    // reported installed while the 64-bit Explorer never loads it.
    if (g_installRefused) {
        Setup_Message(c_InstallRefusedText, "Error");
        return false;
    }
    char copierPath[SETUP_WINDOWS_BUFFER + MAX_PATH];
    char hookPath[SETUP_WINDOWS_BUFFER + MAX_PATH];
    bool folderKnown = Setup_InstalledPath(SETUP_COPIER_FILE, copierPath);
    folderKnown = Setup_InstalledPath(SETUP_HOOK_FILE, hookPath) && folderKnown;

    // Both payloads are looked up before any file is touched: an installer
    // that lacks one writes nothing.  Nor does one that can't tell where
    // the Windows folder is, rather than write into the current folder.
    const void *copier = Install_FindPayload(IDR_PAYLOAD_COPIER);
    const void *hook = Install_FindPayload(IDR_PAYLOAD_HOOK);
    if (!copier || !folderKnown) {
        Install_FileFailed(copierPath);
        return false;
    }
    if (!hook) {
        Install_FileFailed(hookPath);
        return false;
    }

    if (!Install_WritePayload(copierPath, copier, c_CopierPayloadBytes)) {
        Install_FileFailed(copierPath);
        return false;
    }
    // The copier written just now stays, even if this one fails.
    if (!Install_WritePayload(hookPath, hook, c_HookPayloadBytes)) {
        Install_FileFailed(hookPath);
        return false;
    }

    if (!Install_WriteRegistry()) {
        Setup_Message("Can't write to registry. Logon as administrator.", "Error");
        return false;
    }
    Setup_SetInstallCaption("Reinstall");
    Setup_Message("Tessary Copy was successfully installed.", "Finished");
    return true;
}
