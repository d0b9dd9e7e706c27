// File identities and the trail of folders above the one being listed
// (see file_identity.h).
#include "file_identity.h"

#include "copy_paths.h"

bool FileIdentity_OfPath(const wchar_t *path, FILE_IDENTITY *identity)
{
    // Backup semantics open folders too; no access is asked for, so a file
    // another program holds open still answers.
    HANDLE handle = CreateFileW(CopyPaths_ForApi(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE |
                                    FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    BOOL known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return false;
    identity->volume = info.dwVolumeSerialNumber;
    identity->indexHigh = info.nFileIndexHigh;
    identity->indexLow = info.nFileIndexLow;
    return true;
}

bool FileIdentity_Same(const FILE_IDENTITY *a, const FILE_IDENTITY *b)
{
    return a->volume == b->volume && a->indexHigh == b->indexHigh &&
           a->indexLow == b->indexLow;
}

bool FileIdentity_FolderInside(const wchar_t *folder,
                               const FILE_IDENTITY *source)
{
    std::wstring path = folder;
    do {
        FILE_IDENTITY identity;
        if (FileIdentity_OfPath(path.c_str(), &identity) &&
            FileIdentity_Same(&identity, source))
            return true;
    } while (CopyPaths_Parent(&path));
    return false;
}

TRAIL_STEP FolderTrail_Enter(FOLDER_TRAIL *trail, const wchar_t *folder)
{
    FILE_IDENTITY identity;
    if (!FileIdentity_OfPath(folder, &identity))
        return TRAIL_UNKNOWN;
    for (int i = 0; i < trail->depth; i++) {
        if (FileIdentity_Same(&trail->folders[i], &identity))
            return TRAIL_LOOP;
    }
    if (trail->depth >= FOLDER_TRAIL_MAX)
        return TRAIL_UNKNOWN;
    trail->folders[trail->depth++] = identity;
    return TRAIL_ENTERED;
}

void FolderTrail_Leave(FOLDER_TRAIL *trail, TRAIL_STEP step)
{
    if (step == TRAIL_ENTERED && trail->depth > 0)
        trail->depth--;
}
