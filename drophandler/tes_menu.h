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

#include <atomic>
#include <cstdint>

#include "job_file.h"

// Creation function of the generic class factory.
typedef HRESULT (*LPFNCREATEINSTANCE)(IUnknown *pUnkOuter, REFIID riid,
                                      void **ppvObject);

// Counts are interlocked: the shell may hold the factory and objects of
// several apartments at once (two Explorer windows, each on a thread of its
// own), and all of them add to and take from the one library count.
typedef std::atomic<uint32_t> TESHOOK_COUNT;

// The class factory: one per successful DllGetClassObject call.
struct CDefClassFactory {
    const IClassFactoryVtbl *cf;   // the interface pointer is the record
    TESHOOK_COUNT cRef;
    LPFNCREATEINSTANCE lpfnCI;
    TESHOOK_COUNT *pcRefDll;       // library object count kept, may be NULL
    const IID *riidInst;           // the one interface besides IUnknown; NULL admits any
};

// The handler object: IContextMenu first, IShellExtInit one pointer on.
struct _CSampleTesMenu {
    const IContextMenuVtbl *_ctm;
    const IShellExtInitVtbl *_sxi;
    TESHOOK_COUNT _cRef;           // shared by both interfaces
    IDataObject *_pdtobj;          // the drag's data object, one reference held
    HKEY _hkeyProgID;              // our own handle to Initialize's key
    WCHAR _szTargetFolder[JOB_WIDE_PATH_MAX + 1];   // any path Windows takes
};

extern const CLSID CLSID_SampleTesMenu;
extern TESHOOK_COUNT g_cRefThisDll;   // live factories and handler objects

// Identifiers are compared as 16-byte values.
bool TesHook_SameIID(REFIID a, REFIID b);

HRESULT SHCreateDefClassObject(REFIID riid, void **ppv,
                               LPFNCREATEINSTANCE lpfnCI,
                               TESHOOK_COUNT *pcRefDll, const IID *riidInst);

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
// The job submission; `TODOCopy` is the chosen command: 1 copy, 0 move.
// It is the caller's own value, never shared: two menus chosen at once on
// two threads each hand over their own mode.
HRESULT TesMenu_CheckForHDROP(_CSampleTesMenu *self, HWND hwnd, int TODOCopy);

// The record behind an interface pointer.
inline _CSampleTesMenu *TesMenu_FromCTM(IContextMenu *pctm)
{
    return (_CSampleTesMenu *)pctm;
}
inline _CSampleTesMenu *TesMenu_FromSXI(IShellExtInit *psxi)
{
    return (_CSampleTesMenu *)((char *)psxi - sizeof(void *));
}
