// A right-drop performed the way the shell performs it, for the tools and
// tests that hand items to the drop handler: the shell's own data object of
// the dropped items, the target folder's item-identifier list, then
// Initialize, QueryContextMenu and InvokeCommand on the handler.  Paths are
// UTF-16, so items and targets of any name can be dropped.
#pragma once

#include <windows.h>
#include <shlobj.h>

// The shell's data object (CF_HDROP among its formats) for `count` items
// that stand in one folder, as a drag from that folder carries them.
HRESULT ShellDrop_MakeDataObject(const WCHAR *const *paths, int count,
                                 IDataObject **data);

// A handler object of the drop handler's class: loaded from `dllPath`
// through its DllGetClassObject, as a file, or, when `dllPath` is NULL,
// through CoCreateInstance and the registered class.  `module` gets the
// library loaded by file (NULL otherwise); free it after the last release.
HRESULT ShellDrop_CreateHandler(const WCHAR *dllPath, IShellExtInit **handler,
                                HMODULE *module);

// The drop itself: Initialize with `targetFolder` and `data`, fill a popup
// menu, and invoke command `offset` (0 copy, 1 move) owned by `owner`.
// `menuItems` gets what QueryContextMenu returned.  Returns what
// InvokeCommand returned.
HRESULT ShellDrop_Drop(IShellExtInit *handler, const WCHAR *targetFolder,
                       IDataObject *data, UINT offset, HWND owner,
                       HRESULT *menuItems);

// The same with the target folder as the shell's item-identifier list, for
// a target that no path reaches (a virtual folder) or one built step by
// step.
HRESULT ShellDrop_DropOnList(IShellExtInit *handler, LPCITEMIDLIST folder,
                             IDataObject *data, UINT offset, HWND owner,
                             HRESULT *menuItems);

extern const CLSID CLSID_TesDropHandler;
