// The generic class factory: hands out handler objects through the creation
// function it was made with, and keeps the library's object count.
#include "tes_menu.h"

#include <cstring>

bool TesHook_SameIID(REFIID a, REFIID b)
{
    return memcmp(&a, &b, sizeof(IID)) == 0;
}

static HRESULT STDMETHODCALLTYPE CDefClassFactory_QueryInterface(
    IClassFactory *pcf, REFIID riid, void **ppvObj)
{
    CDefClassFactory *self = (CDefClassFactory *)pcf;
    if (TesHook_SameIID(riid, IID_IClassFactory) ||
        TesHook_SameIID(riid, IID_IUnknown)) {
        *ppvObj = pcf;
        self->cRef.fetch_add(1);
        return S_OK;
    }
    *ppvObj = NULL;   // COM's rule: a failed lookup leaves no stale pointer
    return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE CDefClassFactory_AddRef(IClassFactory *pcf)
{
    CDefClassFactory *self = (CDefClassFactory *)pcf;
    return self->cRef.fetch_add(1) + 1;
}

static ULONG STDMETHODCALLTYPE CDefClassFactory_Release(IClassFactory *pcf)
{
    CDefClassFactory *self = (CDefClassFactory *)pcf;
    // The count this call left, not a second read: another thread's
    // Release may free the record at once.
    uint32_t left = self->cRef.fetch_sub(1) - 1;
    if (left > 0)
        return left;
    if (self->pcRefDll)
        self->pcRefDll->fetch_sub(1);
    LocalFree(self);
    return 0;
}

static HRESULT STDMETHODCALLTYPE CDefClassFactory_CreateInstance(
    IClassFactory *pcf, IUnknown *pUnkOuter, REFIID riid, void **ppvObject)
{
    CDefClassFactory *self = (CDefClassFactory *)pcf;
    *ppvObject = NULL;   // what a refused creation leaves
    if (pUnkOuter)
        return CLASS_E_NOAGGREGATION;
    if (self->riidInst && !TesHook_SameIID(riid, *self->riidInst) &&
        !TesHook_SameIID(riid, IID_IUnknown))
        return E_NOINTERFACE;
    return self->lpfnCI(pUnkOuter, riid, ppvObject);
}

// LockServer never holds the library loaded.
static HRESULT STDMETHODCALLTYPE CDefClassFactory_LockServer(IClassFactory *,
                                                             BOOL)
{
    return E_NOTIMPL;
}

static const IClassFactoryVtbl c_vtblAppUIClassFactory = {
    CDefClassFactory_QueryInterface, CDefClassFactory_AddRef,
    CDefClassFactory_Release,        CDefClassFactory_CreateInstance,
    CDefClassFactory_LockServer,
};

// A new factory with count 1, or NULL when memory is exhausted.
static CDefClassFactory *CDefClassFactory_Create(LPFNCREATEINSTANCE lpfnCI,
                                                 TESHOOK_COUNT *pcRefDll,
                                                 const IID *riidInst)
{
    CDefClassFactory *self =
        (CDefClassFactory *)LocalAlloc(LPTR, sizeof(CDefClassFactory));
    if (!self)
        return NULL;
    self->cf = &c_vtblAppUIClassFactory;
    self->cRef = 1;
    self->lpfnCI = lpfnCI;
    self->pcRefDll = pcRefDll;
    self->riidInst = riidInst;
    if (pcRefDll)
        pcRefDll->fetch_add(1);
    return self;
}

HRESULT SHCreateDefClassObject(REFIID riid, void **ppv,
                               LPFNCREATEINSTANCE lpfnCI,
                               TESHOOK_COUNT *pcRefDll, const IID *riidInst)
{
    // Only the factory interface itself; IUnknown is refused here too.
    if (!TesHook_SameIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    CDefClassFactory *factory =
        CDefClassFactory_Create(lpfnCI, pcRefDll, riidInst);
    if (!factory)
        return E_OUTOFMEMORY;
    *ppv = factory;
    return S_OK;
}
