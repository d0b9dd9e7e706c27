// What the handler object does for the shell: takes the target folder and
// the drag's data object, adds the two drop-menu items, and runs the chosen
// one.
#include "tes_menu.h"

#include "target_folder.h"

enum {
    TESMENU_OFFSET_COPY = 0,
    TESMENU_OFFSET_MOVE = 1,
    TESMENU_ITEM_COUNT = 2,
};

// May be called more than once: whatever an earlier call stored goes first.
HRESULT STDMETHODCALLTYPE TesMenu_Initialize(IShellExtInit *psxi,
                                             LPCITEMIDLIST pidlFolder,
                                             IDataObject *pdtobj,
                                             HKEY hkeyProgID)
{
    _CSampleTesMenu *self = TesMenu_FromSXI(psxi);
    if (self->_pdtobj) {
        IDataObject_Release(self->_pdtobj);
        self->_pdtobj = NULL;
    }
    if (self->_hkeyProgID) {
        RegCloseKey(self->_hkeyProgID);
        self->_hkeyProgID = NULL;
    }
    if (pdtobj) {
        self->_pdtobj = pdtobj;
        IDataObject_AddRef(pdtobj);
    }
    if (hkeyProgID)
        RegOpenKeyExA(hkeyProgID, NULL, 0, MAXIMUM_ALLOWED,
                      &self->_hkeyProgID);
    if (pidlFolder)
        TesMenu_PathFromIDList(pidlFolder, self->_szTargetFolder,
                               ARRAYSIZE(self->_szTargetFolder),
                               TesMenu_FindGetPathEx());
    return S_OK;
}

// Both items, copy first, at the position asked for, whatever uFlags says.
// The result's code is the number of command ids taken.
HRESULT STDMETHODCALLTYPE TesMenu_QueryContextMenu(IContextMenu *, HMENU hmenu,
                                                   UINT indexMenu,
                                                   UINT idCmdFirst, UINT,
                                                   UINT)
{
    InsertMenuA(hmenu, indexMenu, MF_BYPOSITION,
                idCmdFirst + TESMENU_OFFSET_COPY, "&Tessary Copy Here");
    InsertMenuA(hmenu, indexMenu + 1, MF_BYPOSITION,
                idCmdFirst + TESMENU_OFFSET_MOVE, "&Tessary Move Here");
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, TESMENU_ITEM_COUNT);
}

// Only command offsets are ours; a verb string is for somebody else.
HRESULT STDMETHODCALLTYPE TesMenu_InvokeCommand(IContextMenu *pctm,
                                                LPCMINVOKECOMMANDINFO lpici)
{
    if (HIWORD((UINT_PTR)lpici->lpVerb) != 0)
        return E_INVALIDARG;
    UINT offset = LOWORD((UINT_PTR)lpici->lpVerb);
    if (offset != TESMENU_OFFSET_COPY && offset != TESMENU_OFFSET_MOVE)
        return E_INVALIDARG;
    _CSampleTesMenu *self = TesMenu_FromCTM(pctm);
    // Without a data object from Initialize there is nothing to hand over.
    if (!self->_pdtobj)
        return E_UNEXPECTED;
    // Ours alone: a flag shared by the library would let a second menu,
    // chosen meanwhile on another thread, turn this copy into a move.
    int TODOCopy = offset == TESMENU_OFFSET_COPY ? 1 : 0;
    return TesMenu_CheckForHDROP(self, lpici->hwnd, TODOCopy);
}

// The items have no help text and no verb name.
HRESULT STDMETHODCALLTYPE TesMenu_GetCommandString(IContextMenu *, UINT_PTR,
                                                   UINT, UINT *, LPSTR, UINT)
{
    return S_OK;
}
