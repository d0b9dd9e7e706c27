// The drop handler's test set-up: the library, handler objects, drops.
#include "drop_fixture.h"

#include <algorithm>
#include <cstring>

#include "shell_drop.h"
#include "ui_driver.h"
#include "wide_files.h"

HRESULT STDMETHODCALLTYPE DriverDropData::QueryInterface(REFIID riid,
                                                         void **out)
{
    if (riid != IID_IUnknown && riid != IID_IDataObject) {
        *out = NULL;
        return E_NOINTERFACE;
    }
    *out = this;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE DriverDropData::AddRef()
{
    return InterlockedIncrement(&refs);
}

ULONG STDMETHODCALLTYPE DriverDropData::Release()
{
    return InterlockedDecrement(&refs);   // lives on the test's stack
}

HRESULT STDMETHODCALLTYPE DriverDropData::GetData(FORMATETC *format,
                                                  STGMEDIUM *medium)
{
    if (entered)
        SetEvent(entered);
    if (proceed && WaitForSingleObject(proceed, DRIVER_TIMEOUT_MS) !=
                       WAIT_OBJECT_0)
        return E_FAIL;
    if (paths.empty() || format->cfFormat != CF_HDROP)
        return DV_E_FORMATETC;
    size_t size = sizeof(DROPFILES) + sizeof(wchar_t);
    for (const std::wstring &path : paths)
        size += (path.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t *next = (wchar_t *)(drop + 1);
    for (const std::wstring &path : paths) {
        memcpy(next, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        next += path.size() + 1;
    }
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = NULL;
    return S_OK;
}

void DropHandlerFixture::SetUp()
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
    module = LoadLibraryA((Driver_BinFolder() + "\\teshook.dll").c_str());
    ASSERT_TRUE(module != NULL);
    getClassObject = (DRIVER_GET_CLASS_OBJECT)(void *)GetProcAddress(
        module, "DllGetClassObject");
    canUnloadNow =
        (DRIVER_CAN_UNLOAD_NOW)(void *)GetProcAddress(module, "DllCanUnloadNow");
    ASSERT_TRUE(getClassObject && canUnloadNow);
    ASSERT_TRUE(Files_NewScene(Files_TestName(), &scene));
    records = scene.work + "records";
    Files_MakeFolder(records);
    owner = CreateWindowA("STATIC", "shell", WS_POPUP, 0, 0, 10, 10, NULL,
                          NULL, NULL, NULL);
    savedTmp = GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH) > 0;
    SetEnvironmentVariableA("TMP", scene.temp.c_str());
}

void DropHandlerFixture::TearDown()
{
    SetEnvironmentVariableW(L"TMP", savedTmp ? tmp : NULL);
    DestroyWindow(owner);
    if (module) {
        EXPECT_EQ(S_OK, canUnloadNow()) << "an object is still alive";
        FreeLibrary(module);
    }
    CoUninitialize();
}

IShellExtInit *DropHandlerFixture::NewHandler(void)
{
    IClassFactory *factory = NULL;
    IShellExtInit *handler = NULL;
    EXPECT_EQ(S_OK, getClassObject(CLSID_TesDropHandler, IID_IClassFactory,
                                   (void **)&factory));
    if (factory) {
        EXPECT_EQ(S_OK, factory->CreateInstance(NULL, IID_IShellExtInit,
                                                (void **)&handler));
        factory->Release();
    }
    return handler;
}

HRESULT DropHandlerFixture::Drop(IShellExtInit *handler,
                                 const std::string &target, IDataObject *data,
                                 UINT offset)
{
    Driver_StartMessageWatch(&message, "Error");
    HRESULT result = ShellDrop_Drop(handler, Driver_Wide(target).c_str(), data,
                                    offset, owner, &menuItems);
    Driver_EndMessageWatch(&message);
    return result;
}

HRESULT DropHandlerFixture::DropFiles(const std::vector<std::string> &paths,
                                      const std::string &target, UINT offset)
{
    std::vector<std::wstring> wide;
    for (const std::string &path : paths)
        wide.push_back(Driver_Wide(path));
    std::vector<const wchar_t *> items;
    for (const std::wstring &path : wide)
        items.push_back(path.c_str());
    IDataObject *data = NULL;
    HRESULT made =
        ShellDrop_MakeDataObject(items.data(), (int)items.size(), &data);
    EXPECT_EQ(S_OK, made);
    IShellExtInit *handler = NewHandler();
    if (!data || !handler) {
        if (data)
            data->Release();
        if (handler)
            handler->Release();
        return E_FAIL;
    }
    HRESULT result = Drop(handler, target, data, offset);
    handler->Release();
    data->Release();
    return result;
}

std::vector<std::string> DropHandlerFixture::JobFiles(void)
{
    return Driver_JobFilesU(scene.temp);
}

std::string DropHandlerFixture::NewJobFile(
    const std::vector<std::string> &before)
{
    std::string added;
    for (const std::string &name : JobFiles()) {
        if (std::find(before.begin(), before.end(), name) != before.end())
            continue;
        if (!added.empty())
            return std::string();
        added = name;
    }
    return added;
}

void DropHandlerFixture::MakeFiles(int count)
{
    for (int i = 0; i < count; i++) {
        std::string path = scene.src + "\\file" + std::to_string(i) + ".txt";
        Files_MakeFile(path, Files_Pattern(100 + i, i), Files_SeedTime(i));
        sources.push_back(path);
    }
}
