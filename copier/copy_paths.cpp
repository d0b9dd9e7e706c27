// Path rules of the engine and the scanner (see copy_paths.h).  No Win32
// calls: these are the rules that decide where an item goes and whether a
// path may be used at all.
#include "copy_paths.h"

#include <cwchar>

static wchar_t CopyPaths_Slash(wchar_t c)
{
    return c == L'/' ? L'\\' : c;
}

static std::wstring CopyPaths_Slashes(const wchar_t *path, size_t length)
{
    std::wstring text(path, length);
    for (wchar_t &c : text)
        c = CopyPaths_Slash(c);
    return text;
}

// Length without trailing backslashes: "c:" and "c:\" name the same folder
// for the comparisons.
static size_t CopyPaths_TrimmedLength(const wchar_t *path, size_t length)
{
    while (length > 0 && CopyPaths_Slash(path[length - 1]) == L'\\')
        length--;
    return length;
}

bool CopyPaths_Join(std::wstring *out, const wchar_t *folder,
                    const wchar_t *name)
{
    size_t folderLength = wcslen(folder), nameLength = wcslen(name);
    out->clear();
    if (folderLength + 1 + nameLength >= COPY_PATH_SYSTEM_LIMIT)
        return false;
    out->reserve(folderLength + 1 + nameLength);
    out->append(folder, folderLength);
    out->push_back(L'\\');
    out->append(name, nameLength);
    return true;
}

int CopyPaths_ShareBackslashes(const wchar_t *path)
{
    if (path[0] != L'\\' || path[1] != L'\\')
        return 0;
    int count = 0;
    for (const wchar_t *p = path; *p; p++)
        if (*p == L'\\')
            count++;
    return count;
}

bool CopyPaths_IsShareRoot(const wchar_t *path)
{
    return CopyPaths_ShareBackslashes(path) == 3;
}

const wchar_t *CopyPaths_LastName(const wchar_t *path)
{
    const wchar_t *slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

bool CopyPaths_CopyOfName(std::wstring *out, const wchar_t *folder,
                          const wchar_t *name, int counter)
{
    std::wstring copyName = counter == 0
        ? std::wstring(L"Copy of ")
        : L"Copy (" + std::to_wstring(counter) + L") of ";
    copyName += name;
    return CopyPaths_Join(out, folder, copyName.c_str());
}

bool CopyPaths_IsSameDriveMove(const wchar_t *source,
                               const wchar_t *targetFolder)
{
    return source[0] != L'\0' && source[1] == L':' && source[2] == L'\\' &&
           source[0] == targetFolder[0];
}

bool CopyPaths_IsInside(const wchar_t *folder, const wchar_t *source,
                        PATH_EQUAL_FN equal)
{
    std::wstring f = CopyPaths_Slashes(folder, wcslen(folder));
    std::wstring s = CopyPaths_Slashes(source, wcslen(source));
    size_t sourceLength = CopyPaths_TrimmedLength(s.c_str(), s.size());
    size_t folderLength = CopyPaths_TrimmedLength(f.c_str(), f.size());
    if (sourceLength == 0 || folderLength < sourceLength ||
        !equal(f.c_str(), s.c_str(), sourceLength))
        return false;
    // Equal, or the folder goes on with a new component right here.
    return folderLength == sourceLength || f[sourceLength] == L'\\';
}

bool CopyPaths_SamePath(const wchar_t *a, const wchar_t *b, PATH_EQUAL_FN equal)
{
    size_t length = wcslen(a);
    if (wcslen(b) != length)
        return false;
    std::wstring x = CopyPaths_Slashes(a, length);
    std::wstring y = CopyPaths_Slashes(b, length);
    return equal(x.c_str(), y.c_str(), length);
}

// Length of the root that a path keeps: "c:\" (3), "\\server\share" (up to
// its fourth backslash), or 0 for a path of neither form.
static size_t CopyPaths_RootLength(const std::wstring &path)
{
    if (path.size() >= 3 && path[1] == L':' && CopyPaths_Slash(path[2]) == L'\\')
        return 3;
    if (CopyPaths_ShareBackslashes(path.c_str()) >= 3) {
        int seen = 0;
        for (size_t i = 0; i < path.size(); i++) {
            if (CopyPaths_Slash(path[i]) == L'\\' && ++seen == 4)
                return i;
        }
        return path.size();
    }
    return 0;
}

bool CopyPaths_Parent(std::wstring *path)
{
    size_t root = CopyPaths_RootLength(*path);
    size_t length = CopyPaths_TrimmedLength(path->c_str(), path->size());
    if (root == 0 || length <= root)
        return false;
    while (length > root && CopyPaths_Slash((*path)[length - 1]) != L'\\')
        length--;
    // Keep the drive root's backslash; drop the one before the last name.
    if (length > root)
        length--;
    else if (root == 3)
        length = 3;
    path->resize(length);
    return true;
}

std::wstring CopyPaths_ForApi(const wchar_t *path)
{
    // "x:" alone is the drive's current folder to the path functions; the
    // copier only ever means its root.
    if (path[0] != L'\0' && path[1] == L':' && path[2] == L'\0')
        return std::wstring(L"\\\\?\\") + path + L"\\";
    if (path[0] != L'\0' && path[1] == L':' && CopyPaths_Slash(path[2]) == L'\\')
        return L"\\\\?\\" + CopyPaths_Slashes(path, wcslen(path));
    if (path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' &&
        path[2] != L'.' && path[2] != L'\0')
        return L"\\\\?\\UNC\\" + CopyPaths_Slashes(path + 2, wcslen(path + 2));
    return std::wstring(path);
}
