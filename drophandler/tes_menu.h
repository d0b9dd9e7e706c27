// The drop handler's records, tables and functions.  Written in the plain
// record style of COM: every object is a record whose leading members point
// to constant tables of functions, and every function takes the interface
// pointer first.  C-style interface declarations (CINTERFACE) give us the
// platform's vtable layouts as plain structures.
#pragma once

#ifndef CINTERFACE
#define CINTERFACE
#endif
#ifndef COBJMACROS
#define COBJMACROS
#endif
#include <windows.h>
#include <shlobj.h>

#include <cstdint>

#include "job_file.h"

// Creation function of the generic class factory.
typedef HRESULT (*LPFNCREATEINSTANCE)(IUnknown *pUnkOuter, REFIID riid,
                                      void **ppvObject);

// The class factory: one per successful DllGetClassObject call.
struct CDefClassFactory {
    const IClassFactoryVtbl *cf;   // the interface pointer is the record
    uint32_t cRef;
    LPFNCREATEINSTANCE lpfnCI;
    uint32_t *pcRefDll;            // library object count kept, may be NULL
    const IID *riidInst;           // the one interface besides IUnknown; NULL admits any
};

// The handler object: IContextMenu first, IShellExtInit one pointer on.
struct _CSampleTesMenu {
    const IContextMenuVtbl *_ctm;
    const IShellExtInitVtbl *_sxi;
    uint32_t _cRef;                // shared by both interfaces
    IDataObject *_pdtobj;          // the drag's data object, one reference held
    HKEY _hkeyProgID;              // our own handle to Initialize's key
    WCHAR _szTargetFolder[JOB_WIDE_PATH_MAX + 1];   // any path Windows takes
};

extern const CLSID CLSID_SampleTesMenu;
extern uint32_t g_cRefThisDll;     // live factories and handler objects
extern int TODOCopy;               // 1 copy, 0 move: the last chosen command

// Identifiers are compared as 16-byte values.
bool TesHook_SameIID(REFIID a, REFIID b);

HRESULT SHCreateDefClassObject(REFIID riid, void **ppv,
                               LPFNCREATEINSTANCE lpfnCI, uint32_t *pcRefDll,
                               const IID *riidInst);

HRESULT TesMenu_CreateInstance(IUnknown *punkOuter, REFIID riid,
                               void **ppvOut);

// The shell extension's own work (menu, commands, job submission).
HRESULT STDMETHODCALLTYPE TesMenu_Initialize(IShellExtInit *psxi,
                                             LPCITEMIDLIST pidlFolder,
                                             IDataObject *pdtobj,
                                             HKEY hkeyProgID);
HRESULT STDMETHODCALLTYPE TesMenu_QueryContextMenu(IContextMenu *pctm,
                                                   HMENU hmenu,
                                                   UINT indexMenu,
                                                   UINT idCmdFirst,
                                                   UINT idCmdLast,
                                                   UINT uFlags);
HRESULT STDMETHODCALLTYPE TesMenu_InvokeCommand(IContextMenu *pctm,
                                                LPCMINVOKECOMMANDINFO lpici);
HRESULT STDMETHODCALLTYPE TesMenu_GetCommandString(IContextMenu *pctm,
                                                   UINT_PTR idCmd,
                                                   UINT wReserved,
                                                   UINT *pwReserved,
                                                   LPSTR pszName, UINT cchMax);
HRESULT TesMenu_CheckForHDROP(_CSampleTesMenu *self, HWND hwnd);

// The record behind an interface pointer.
inline _CSampleTesMenu *TesMenu_FromCTM(IContextMenu *pctm)
{
    return (_CSampleTesMenu *)pctm;
}
inline _CSampleTesMenu *TesMenu_FromSXI(IShellExtInit *psxi)
{
    return (_CSampleTesMenu *)((char *)psxi - sizeof(void *));
}
