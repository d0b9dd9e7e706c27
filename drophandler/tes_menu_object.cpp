// The handler object's life: creation, interface lookup and the reference
// count that both of its interfaces share.
#include "tes_menu.h"

static HRESULT STDMETHODCALLTYPE TesMenu_CTM_QueryInterface(IContextMenu *pctm,
                                                            REFIID riid,
                                                            void **ppvOut)
{
    _CSampleTesMenu *self = TesMenu_FromCTM(pctm);
    if (TesHook_SameIID(riid, IID_IContextMenu) ||
        TesHook_SameIID(riid, IID_IUnknown))
        *ppvOut = &self->_ctm;
    else if (TesHook_SameIID(riid, IID_IShellExtInit))
        *ppvOut = &self->_sxi;
    else {
        *ppvOut = NULL;   // COM's rule: a failed lookup leaves no stale pointer
        return E_NOINTERFACE;
    }
    self->_cRef.fetch_add(1);
    return S_OK;
}

static ULONG STDMETHODCALLTYPE TesMenu_CTM_AddRef(IContextMenu *pctm)
{
    return TesMenu_FromCTM(pctm)->_cRef.fetch_add(1) + 1;
}

static ULONG STDMETHODCALLTYPE TesMenu_CTM_Release(IContextMenu *pctm)
{
    _CSampleTesMenu *self = TesMenu_FromCTM(pctm);
    // The count this call left, not a second read: another thread's
    // Release may free the record at once.
    uint32_t left = self->_cRef.fetch_sub(1) - 1;
    if (left != 0)
        return left;
    if (self->_pdtobj)
        IDataObject_Release(self->_pdtobj);
    if (self->_hkeyProgID)
        RegCloseKey(self->_hkeyProgID);
    LocalFree(self);
    g_cRefThisDll.fetch_sub(1);
    return 0;
}

static HRESULT STDMETHODCALLTYPE TesMenu_SXI_QueryInterface(IShellExtInit *psxi,
                                                            REFIID riid,
                                                            void **ppv)
{
    return TesMenu_CTM_QueryInterface((IContextMenu *)TesMenu_FromSXI(psxi),
                                      riid, ppv);
}

static ULONG STDMETHODCALLTYPE TesMenu_SXI_AddRef(IShellExtInit *psxi)
{
    return TesMenu_FromSXI(psxi)->_cRef.fetch_add(1) + 1;
}

static ULONG STDMETHODCALLTYPE TesMenu_SXI_Release(IShellExtInit *psxi)
{
    return TesMenu_CTM_Release((IContextMenu *)TesMenu_FromSXI(psxi));
}

static const IContextMenuVtbl c_SampleTesMenu_CTMVtbl = {
    TesMenu_CTM_QueryInterface, TesMenu_CTM_AddRef,
    TesMenu_CTM_Release,        TesMenu_QueryContextMenu,
    TesMenu_InvokeCommand,      TesMenu_GetCommandString,
};

static const IShellExtInitVtbl c_SampleTesMenu_SXIVtbl = {
    TesMenu_SXI_QueryInterface, TesMenu_SXI_AddRef, TesMenu_SXI_Release,
    TesMenu_Initialize,
};

HRESULT TesMenu_CreateInstance(IUnknown *punkOuter, REFIID riid,
                               void **ppvOut)
{
    *ppvOut = NULL;
    if (punkOuter)
        return CLASS_E_NOAGGREGATION;
    _CSampleTesMenu *self =
        (_CSampleTesMenu *)LocalAlloc(LPTR, sizeof(_CSampleTesMenu));
    if (!self)
        return E_OUTOFMEMORY;
    self->_ctm = &c_SampleTesMenu_CTMVtbl;
    self->_sxi = &c_SampleTesMenu_SXIVtbl;
    self->_cRef = 1;
    g_cRefThisDll.fetch_add(1);

    // The lookup adds the caller's reference; our own goes again, so a
    // failed lookup frees the object and takes its count back.
    IContextMenu *pctm = (IContextMenu *)&self->_ctm;
    HRESULT result = TesMenu_CTM_QueryInterface(pctm, riid, ppvOut);
    TesMenu_CTM_Release(pctm);
    return result;
}
