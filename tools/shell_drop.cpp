// A right-drop performed the way the shell performs it.
#include "shell_drop.h"

#include <cstring>

// {A4D78B20-6E05-1069-8758-4E73FD83DEAD}
const CLSID CLSID_TesDropHandler = {
    0xA4D78B20, 0x6E05, 0x1069,
    {0x87, 0x58, 0x4E, 0x73, 0xFD, 0x83, 0xDE, 0xAD}};

enum { SHELL_DROP_MAX_ITEMS = 4096 };

HRESULT ShellDrop_MakeDataObject(const WCHAR *const *paths, int count,
                                 IDataObject **data)
{
    *data = NULL;
    if (count < 1 || count > SHELL_DROP_MAX_ITEMS)
        return E_INVALIDARG;
    LPITEMIDLIST *absolute =
        (LPITEMIDLIST *)LocalAlloc(LPTR, count * sizeof(LPITEMIDLIST));
    LPCITEMIDLIST *children =
        (LPCITEMIDLIST *)LocalAlloc(LPTR, count * sizeof(LPCITEMIDLIST));
    IShellFolder *parent = NULL;
    HRESULT result = absolute && children ? S_OK : E_OUTOFMEMORY;
    for (int i = 0; i < count && SUCCEEDED(result); i++) {
        absolute[i] = ILCreateFromPathW(paths[i]);
        if (!absolute[i]) {
            result = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
            break;
        }
        IShellFolder *folder = NULL;
        result = SHBindToParent(absolute[i], IID_IShellFolder,
                                (void **)&folder, &children[i]);
        if (SUCCEEDED(result)) {
            if (!parent)
                parent = folder;   // the first item's folder holds them all
            else
                folder->Release();
        }
    }
    if (SUCCEEDED(result))
        result = parent->GetUIObjectOf(NULL, count, children, IID_IDataObject,
                                       NULL, (void **)data);
    if (parent)
        parent->Release();
    for (int i = 0; absolute && i < count; i++)
        ILFree(absolute[i]);
    LocalFree(absolute);
    LocalFree(children);
    return result;
}

HRESULT ShellDrop_CreateHandler(const WCHAR *dllPath, IShellExtInit **handler,
                                HMODULE *module)
{
    *handler = NULL;
    *module = NULL;
    if (!dllPath)
        return CoCreateInstance(CLSID_TesDropHandler, NULL,
                                CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                (void **)handler);
    HMODULE library = LoadLibraryW(dllPath);
    if (!library)
        return HRESULT_FROM_WIN32(GetLastError());
    typedef HRESULT(STDAPICALLTYPE * GET_CLASS_OBJECT)(REFCLSID, REFIID,
                                                       void **);
    GET_CLASS_OBJECT getClassObject =
        (GET_CLASS_OBJECT)(void *)GetProcAddress(library, "DllGetClassObject");
    IClassFactory *factory = NULL;
    HRESULT result = getClassObject
                         ? getClassObject(CLSID_TesDropHandler,
                                          IID_IClassFactory, (void **)&factory)
                         : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    if (SUCCEEDED(result)) {
        result = factory->CreateInstance(NULL, IID_IShellExtInit,
                                         (void **)handler);
        factory->Release();
    }
    if (FAILED(result))
        FreeLibrary(library);
    else
        *module = library;
    return result;
}

HRESULT ShellDrop_Drop(IShellExtInit *handler, const WCHAR *targetFolder,
                       IDataObject *data, UINT offset, HWND owner,
                       HRESULT *menuItems)
{
    LPITEMIDLIST folder = ILCreateFromPathW(targetFolder);
    if (!folder)
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    HRESULT result =
        ShellDrop_DropOnList(handler, folder, data, offset, owner, menuItems);
    ILFree(folder);
    return result;
}

HRESULT ShellDrop_DropOnList(IShellExtInit *handler, LPCITEMIDLIST folder,
                             IDataObject *data, UINT offset, HWND owner,
                             HRESULT *menuItems)
{
    HRESULT result = handler->Initialize(folder, data, NULL);
    if (FAILED(result))
        return result;
    IContextMenu *menu = NULL;
    result = handler->QueryInterface(IID_IContextMenu, (void **)&menu);
    if (FAILED(result))
        return result;

    enum { FIRST_ID = 1, LAST_ID = 0x7FFF };
    HMENU popup = CreatePopupMenu();
    HRESULT items = menu->QueryContextMenu(popup, 0, FIRST_ID, LAST_ID,
                                           CMF_NORMAL);
    if (menuItems)
        *menuItems = items;
    CMINVOKECOMMANDINFO invoke;
    memset(&invoke, 0, sizeof invoke);
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = owner;
    invoke.lpVerb = MAKEINTRESOURCEA(offset);
    invoke.nShow = SW_SHOWNORMAL;
    result = menu->InvokeCommand(&invoke);
    DestroyMenu(popup);
    menu->Release();
    return result;
}
