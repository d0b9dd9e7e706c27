// Which file or folder a path leads to, told by its identity (volume
// serial and file index) rather than by its text: one folder can be
// reached through another drive letter (subst, a mapped drive), a junction
// or a symbolic link.  Used against folder loops and against a target
// that lies inside its own source.
#pragma once

#include <windows.h>

struct FILE_IDENTITY {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

// The identity of what `path` leads to, links followed.  False when the
// path can't be opened to ask.
bool FileIdentity_OfPath(const wchar_t *path, FILE_IDENTITY *identity);

bool FileIdentity_Same(const FILE_IDENTITY *a, const FILE_IDENTITY *b);

// Is `folder`, or any folder above it up to its root, the folder whose
// identity is `source`?
bool FileIdentity_FolderInside(const wchar_t *folder, const FILE_IDENTITY *source);

// The folders on the path from a dragged folder down to the folder being
// listed: a folder met again below itself (a link back to an ancestor) is
// a loop.
enum { FOLDER_TRAIL_MAX = 256 };

struct FOLDER_TRAIL {
    int depth;
    FILE_IDENTITY folders[FOLDER_TRAIL_MAX];
};

enum TRAIL_STEP {
    TRAIL_ENTERED,      // on the trail now; leave it after the descent
    TRAIL_LOOP,         // already on the trail: do not descend
    TRAIL_UNKNOWN,      // no identity (or the trail is full): descend untracked
};

TRAIL_STEP FolderTrail_Enter(FOLDER_TRAIL *trail, const wchar_t *folder);
void FolderTrail_Leave(FOLDER_TRAIL *trail, TRAIL_STEP step);
