// Path rules of the engine and the scanner (see copy_paths.h).  No Win32
// calls: these are the rules that decide where an item goes and whether a
// path may be used at all.
#include "copy_paths.h"

#include "ascii_case.h"

#include <cstdio>
#include <cstring>

static char CopyPaths_Fold(char c)
{
    return c == '/' ? '\\' : LowerCaseAsciiChar(c);
}

// Length without trailing backslashes, but a drive root "c:\" keeps none:
// "c:" and "c:\" name the same folder for this comparison.
static size_t CopyPaths_TrimmedLength(const char *path)
{
    size_t length = strlen(path);
    while (length > 0 && CopyPaths_Fold(path[length - 1]) == '\\')
        length--;
    return length;
}

static bool CopyPaths_Fits(int written, size_t outSize, size_t limit)
{
    return written >= 0 && (size_t)written < outSize && (size_t)written < limit;
}

bool CopyPaths_Join(char *out, size_t outSize, const char *folder,
                    const char *name, size_t limit)
{
    int written = snprintf(out, outSize, "%s\\%s", folder, name);
    if (CopyPaths_Fits(written, outSize, limit))
        return true;
    if (outSize > 0)
        out[0] = '\0';
    return false;
}

bool CopyPaths_Copy(char *out, size_t outSize, const char *path, size_t limit)
{
    int written = snprintf(out, outSize, "%s", path);
    if (CopyPaths_Fits(written, outSize, limit))
        return true;
    if (outSize > 0)
        out[0] = '\0';
    return false;
}

int CopyPaths_ShareBackslashes(const char *path)
{
    if (path[0] != '\\' || path[1] != '\\')
        return 0;
    int count = 0;
    for (const char *p = path; *p; p++)
        if (*p == '\\')
            count++;
    return count;
}

bool CopyPaths_IsShareRoot(const char *path)
{
    return CopyPaths_ShareBackslashes(path) == 3;
}

const char *CopyPaths_LastName(const char *path)
{
    const char *slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

bool CopyPaths_CopyOfName(char *out, size_t outSize, const char *folder,
                          const char *name, int counter, size_t limit)
{
    int written = counter == 0
        ? snprintf(out, outSize, "%s\\Copy of %s", folder, name)
        : snprintf(out, outSize, "%s\\Copy (%i) of %s", folder, counter, name);
    if (CopyPaths_Fits(written, outSize, limit))
        return true;
    if (outSize > 0)
        out[0] = '\0';
    return false;
}

bool CopyPaths_IsSameDriveMove(const char *source, const char *targetFolder)
{
    return source[0] != '\0' && source[1] == ':' && source[2] == '\\' &&
           source[0] == targetFolder[0];
}

bool CopyPaths_IsInside(const char *folder, const char *source)
{
    size_t sourceLength = CopyPaths_TrimmedLength(source);
    size_t folderLength = CopyPaths_TrimmedLength(folder);
    if (sourceLength == 0 || folderLength < sourceLength)
        return false;
    for (size_t i = 0; i < sourceLength; i++)
        if (CopyPaths_Fold(folder[i]) != CopyPaths_Fold(source[i]))
            return false;
    // Equal, or the folder goes on with a new component right here.
    return folderLength == sourceLength ||
           CopyPaths_Fold(folder[sourceLength]) == '\\';
}

bool CopyPaths_SamePath(const char *a, const char *b)
{
    size_t lengthA = strlen(a);
    if (strlen(b) != lengthA)
        return false;
    for (size_t i = 0; i < lengthA; i++)
        if (CopyPaths_Fold(a[i]) != CopyPaths_Fold(b[i]))
            return false;
    return true;
}

// Length of the root that a path keeps: "c:\" (3), "\\server\share" (up to
// its fourth backslash), or 0 for a path of neither form.
static size_t CopyPaths_RootLength(const char *path)
{
    if (path[0] != '\0' && path[1] == ':' && CopyPaths_Fold(path[2]) == '\\')
        return 3;
    if (CopyPaths_ShareBackslashes(path) >= 3) {
        int seen = 0;
        for (size_t i = 0; path[i]; i++) {
            if (CopyPaths_Fold(path[i]) == '\\' && ++seen == 4)
                return i;
        }
        return strlen(path);
    }
    return 0;
}

bool CopyPaths_Parent(char *path)
{
    size_t root = CopyPaths_RootLength(path);
    size_t length = CopyPaths_TrimmedLength(path);
    if (root == 0 || length <= root)
        return false;
    while (length > root && CopyPaths_Fold(path[length - 1]) != '\\')
        length--;
    // Keep the drive root's backslash; drop the one before the last name.
    if (length > root)
        length--;
    else if (root == 3)
        length = 3;
    path[length] = '\0';
    return true;
}
