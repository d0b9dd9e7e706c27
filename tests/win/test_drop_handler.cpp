// The drop handler teshook.dll as the shell meets it: its COM contract
// (factory, lookups, shared counts, unloading), the drop menu, and drops of
// real files that write a job file and start the copier, with a message
// owned by the shell's window for every drop that can't be handed over.
// The handler found through its registered class, feeding the installed
// copier, is tested with the installer (test_setup_end_to_end).
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "installed_copier.h"
#include "job_file.h"
#include "message_watch.h"
#include "shell_drop.h"
#include "test_files.h"
#include "ui_driver.h"

namespace {

typedef HRESULT(STDAPICALLTYPE *GET_CLASS_OBJECT)(REFCLSID, REFIID, void **);
typedef HRESULT(STDAPICALLTYPE *CAN_UNLOAD_NOW)(void);

const GUID c_otherClass = {0x12345678, 0x1234, 0x1234,
                           {1, 2, 3, 4, 5, 6, 7, 8}};

std::string HandlerPath(void) { return Driver_BinFolder() + "\\teshook.dll"; }

// A drag source's own data object: CF_HDROP of the given paths, or no file
// list at all when there are none.
struct ListDataObject : IDataObject {
    LONG refs = 1;
    std::vector<std::string> paths;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        if (riid != IID_IUnknown && riid != IID_IDataObject)
            return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC *format,
                                      STGMEDIUM *medium) override
    {
        if (paths.empty() || format->cfFormat != CF_HDROP)
            return DV_E_FORMATETC;
        size_t size = sizeof(DROPFILES) + 1;
        for (const std::string &path : paths)
            size += path.size() + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
        drop->pFiles = sizeof(DROPFILES);
        char *next = (char *)(drop + 1);
        for (const std::string &path : paths) {
            memcpy(next, path.c_str(), path.size() + 1);
            next += path.size() + 1;
        }
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC *, STGMEDIUM *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC *, FORMATETC *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC *, STGMEDIUM *, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC *, DWORD, IAdviseSink *, DWORD *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA **) override { return E_NOTIMPL; }
};

// The library loaded by file, as the shell loads it, with its two exports.
class DropHandler : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
        module = LoadLibraryA(HandlerPath().c_str());
        ASSERT_TRUE(module != NULL);
        getClassObject =
            (GET_CLASS_OBJECT)(void *)GetProcAddress(module, "DllGetClassObject");
        canUnloadNow =
            (CAN_UNLOAD_NOW)(void *)GetProcAddress(module, "DllCanUnloadNow");
        ASSERT_TRUE(getClassObject && canUnloadNow);
        ASSERT_TRUE(Files_NewScene(Files_TestName(), &scene));
        records = scene.work + "records";
        Files_MakeFolder(records);
        owner = CreateWindowA("STATIC", "shell", WS_POPUP, 0, 0, 10, 10, NULL,
                              NULL, NULL, NULL);
        tempScope.Set(scene.temp);
    }

    void TearDown() override
    {
        DestroyWindow(owner);
        if (module) {
            EXPECT_EQ(S_OK, canUnloadNow()) << "an object is still alive";
            FreeLibrary(module);
        }
        CoUninitialize();
    }

    IShellExtInit *NewHandler(void)
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

    // One drop onto `target` with command `offset`, a message box (if any)
    // answered.  Returns InvokeCommand's result.
    HRESULT Drop(IShellExtInit *handler, const char *target,
                 IDataObject *data, UINT offset)
    {
        Driver_StartMessageWatch(&message, "Error");
        HRESULT result =
            ShellDrop_Drop(handler, target, data, offset, owner, &menuItems);
        Driver_EndMessageWatch(&message);
        return result;
    }

    HRESULT DropFiles(const std::vector<std::string> &paths,
                      const std::string &target, UINT offset)
    {
        std::vector<const char *> items;
        for (const std::string &path : paths)
            items.push_back(path.c_str());
        IDataObject *data = NULL;
        HRESULT made = ShellDrop_MakeDataObject(items.data(), (int)items.size(),
                                                &data);
        EXPECT_EQ(S_OK, made);
        IShellExtInit *handler = NewHandler();
        if (!data || !handler)
            return E_FAIL;
        HRESULT result = Drop(handler, target.c_str(), data, offset);
        handler->Release();
        data->Release();
        return result;
    }

    std::vector<std::string> JobFiles(void)
    {
        std::vector<std::string> jobs;
        for (const std::string &name : Files_List(scene.temp))
            if (name.compare(0, 9, JOB_NAME_PREFIX) == 0)
                jobs.push_back(name);
        return jobs;
    }

    void MakeFiles(int count)
    {
        for (int i = 0; i < count; i++) {
            std::string path = scene.src + "\\file" + std::to_string(i) + ".txt";
            Files_MakeFile(path, Files_Pattern(100 + i, i), Files_SeedTime(i));
            sources.push_back(path);
        }
    }

    HMODULE module = NULL;
    GET_CLASS_OBJECT getClassObject = NULL;
    CAN_UNLOAD_NOW canUnloadNow = NULL;
    FILES_SCENE scene;
    HWND owner = NULL;
    // The handler runs in this process: its temporary folder is the test's.
    DRIVER_TEMP_SCOPE tempScope;
    DRIVER_MESSAGE_WATCH message;
    HRESULT menuItems = 0;
    std::vector<std::string> sources;
    std::string records;                 // where a stand-in copier records
    DRIVER_INSTALLED_COPIER standin;
};

}  // namespace

TEST_F(DropHandler, FactoryObjectsAndCountsFollowTheComContract)
{
    void *untouched = &untouched;
    EXPECT_EQ(E_FAIL, getClassObject(c_otherClass, IID_IClassFactory, &untouched));
    EXPECT_EQ((void *)&untouched, untouched);
    EXPECT_EQ(E_NOINTERFACE,
              getClassObject(CLSID_TesDropHandler, IID_IUnknown, &untouched));
    EXPECT_EQ(S_OK, canUnloadNow());

    IClassFactory *factory = NULL;
    ASSERT_EQ(S_OK, getClassObject(CLSID_TesDropHandler, IID_IClassFactory,
                                   (void **)&factory));
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "a live factory holds the library";
    EXPECT_EQ(E_NOTIMPL, factory->LockServer(TRUE));
    IUnknown *unknown = NULL;
    EXPECT_EQ(S_OK, factory->QueryInterface(IID_IUnknown, (void **)&unknown));
    EXPECT_EQ((void *)factory, (void *)unknown);
    EXPECT_EQ(1u, unknown->Release());

    void *object = NULL;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(unknown, IID_IShellExtInit, &object));
    EXPECT_EQ(E_NOINTERFACE,
              factory->CreateInstance(NULL, IID_IContextMenu, &object));
    EXPECT_EQ(nullptr, object);

    // One count for both interfaces; IUnknown is the context menu's pointer.
    IShellExtInit *init = NULL;
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IShellExtInit,
                                            (void **)&init));
    IContextMenu *menu = NULL;
    ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, (void **)&menu));
    EXPECT_EQ((char *)init - sizeof(void *), (char *)menu);
    EXPECT_EQ(3u, menu->AddRef());
    EXPECT_EQ(4u, init->AddRef());
    IUnknown *fromInit = NULL, *fromMenu = NULL;
    init->QueryInterface(IID_IUnknown, (void **)&fromInit);
    menu->QueryInterface(IID_IUnknown, (void **)&fromMenu);
    EXPECT_EQ((void *)menu, (void *)fromInit);
    EXPECT_EQ((void *)menu, (void *)fromMenu);
    EXPECT_EQ(E_NOINTERFACE, menu->QueryInterface(IID_IDataObject, &object));
    EXPECT_EQ(5u, fromInit->Release());
    fromMenu->Release();
    init->Release();
    menu->Release();
    menu->Release();
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "one reference is still held";
    EXPECT_EQ(0u, init->Release());

    EXPECT_EQ(S_OK, factory->CreateInstance(NULL, IID_IUnknown, &object));
    EXPECT_EQ(0u, ((IUnknown *)object)->Release());
    EXPECT_EQ(S_FALSE, canUnloadNow());
    EXPECT_EQ(0u, factory->Release());
    EXPECT_EQ(S_OK, canUnloadNow()) << "refused creations left a count";
}

TEST_F(DropHandler, MenuTakesTwoIdsAtTheAskedPlaceAndOnlyOffsetsAreCommands)
{
    IShellExtInit *init = NewHandler();
    ASSERT_TRUE(init != NULL);
    IContextMenu *menu = NULL;
    ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, (void **)&menu));
    for (UINT flags : {(UINT)CMF_NORMAL, (UINT)CMF_DEFAULTONLY}) {
        HMENU popup = CreatePopupMenu();
        for (int i = 0; i < 7; i++)
            AppendMenuA(popup, MF_STRING, 1000 + i, "shell item");
        EXPECT_EQ(MAKE_HRESULT(0, 0, 2),
                  menu->QueryContextMenu(popup, 5, 40, 50, flags));
        char text[64];
        EXPECT_EQ(40u, GetMenuItemID(popup, 5));
        GetMenuStringA(popup, 5, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ("&Tessary Copy Here", text);
        EXPECT_EQ(41u, GetMenuItemID(popup, 6));
        GetMenuStringA(popup, 6, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ("&Tessary Move Here", text);
        EXPECT_EQ(1006u, GetMenuItemID(popup, 8));
        DestroyMenu(popup);
    }
    char name[8] = "keep";
    for (UINT_PTR id : {0, 1, 7})
        EXPECT_EQ(S_OK, menu->GetCommandString(id, GCS_VERBA, NULL, name, 8));
    EXPECT_STREQ("keep", name);

    // Without Initialize there is no data object: a failure, nothing done.
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.lpVerb = MAKEINTRESOURCEA(0);
    EXPECT_TRUE(FAILED(menu->InvokeCommand(&invoke)));

    MakeFiles(1);
    IDataObject *data = NULL;
    const char *item = sources[0].c_str();
    ASSERT_EQ(S_OK, ShellDrop_MakeDataObject(&item, 1, &data));
    EXPECT_EQ(E_INVALIDARG, Drop(init, scene.dst.c_str(), data, 2));
    invoke.lpVerb = "copy";
    EXPECT_EQ(E_INVALIDARG, menu->InvokeCommand(&invoke));
    EXPECT_FALSE(message.seen);
    EXPECT_TRUE(JobFiles().empty());
    menu->Release();
    init->Release();
    data->Release();
}

TEST_F(DropHandler, DropsWriteTheJobAndStartTheCopierOnItsNumber)
{
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    MakeFiles(3);
    std::string target = scene.dst;

    struct { UINT offset; int mode; std::string target; } drops[] = {
        {1, JOB_MODE_MOVE, target},
        {0, JOB_MODE_COPY, target},
        {0, JOB_MODE_COPY, "C:\\"},   // a drive root keeps its backslash
    };
    std::vector<std::string> numbers;
    for (auto &drop : drops) {
        std::vector<std::string> before = JobFiles();
        EXPECT_EQ(S_OK, DropFiles(sources, drop.target, drop.offset));
        EXPECT_FALSE(message.seen) << message.text;
        std::vector<std::string> after = JobFiles();
        ASSERT_EQ(before.size() + 1, after.size());
        std::string job;
        for (const std::string &name : after)
            if (std::find(before.begin(), before.end(), name) == before.end())
                job = name;
        // As the copier reads it: the command, the folder, every item.
        DRIVER_JOB written;
        ASSERT_TRUE(Driver_ReadJob(scene.temp + job, &written)) << job;
        EXPECT_EQ(drop.mode, written.modeByte);
        EXPECT_EQ(drop.target, written.target);
        EXPECT_EQ(sources, written.sources);
        numbers.push_back(job.substr(9));
    }
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, Driver_RecordedLaunches(records, GetCurrentProcessId()));
}

TEST_F(DropHandler, DropsThatCantBeHandedOverSayWhyAndLeaveNoJob)
{
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    MakeFiles(1);
    std::string target = scene.dst;
    IShellExtInit *handler = NewHandler();
    ASSERT_TRUE(handler != NULL);

    ListDataObject noFiles;
    EXPECT_EQ(DV_E_FORMATETC, Drop(handler, target.c_str(), &noFiles, 0));
    EXPECT_EQ("Copier only supports files/folders", message.text);
    EXPECT_EQ(owner, message.owner);

    ListDataObject tooLong;
    std::string longPath = scene.src + "\\" + std::string(300 - scene.src.size(), 'n');
    tooLong.paths = {sources[0], longPath};
    EXPECT_TRUE(FAILED(Drop(handler, target.c_str(), &tooLong, 0)));
    EXPECT_NE(std::string::npos, message.text.find(longPath)) << message.text;

    // "My Computer" is no file-system folder: no path for the job.
    LPITEMIDLIST computer = NULL;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer));
    IShellExtInit *virtualTarget = NewHandler();
    ListDataObject one;
    one.paths = {sources[0]};
    ASSERT_EQ(S_OK, virtualTarget->Initialize(computer, &one, NULL));
    CoTaskMemFree(computer);
    IContextMenu *menu = NULL;
    virtualTarget->QueryInterface(IID_IContextMenu, (void **)&menu);
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof invoke;
    invoke.hwnd = owner;
    Driver_StartMessageWatch(&message, "Error");
    EXPECT_TRUE(FAILED(menu->InvokeCommand(&invoke)));
    EXPECT_TRUE(Driver_EndMessageWatch(&message));
    EXPECT_NE(std::string::npos, message.text.find("can't be copied"));
    menu->Release();
    virtualTarget->Release();

    // A temporary folder that isn't there: nothing is written or started.
    tempScope.Set(scene.work + "gone");
    EXPECT_TRUE(FAILED(Drop(handler, target.c_str(), &one, 0)));
    EXPECT_NE(std::string::npos, message.text.find("could not be written"));
    tempScope.Set(scene.temp);
    EXPECT_TRUE(JobFiles().empty());
    // Every copier this process started has ended and recorded itself.
    EXPECT_EQ(std::vector<std::string>(),
              Driver_RecordedLaunches(records, GetCurrentProcessId()));

    // Initialize again lets the data object of the last call go.
    EXPECT_EQ(2, one.refs);
    EXPECT_EQ(1, tooLong.refs) << "a replaced data object is still held";
    ASSERT_EQ(S_OK, handler->Initialize(NULL, &tooLong, NULL));
    EXPECT_EQ(1, one.refs);
    EXPECT_EQ(2, tooLong.refs);

    // No copier to start: the job stays for the next logon, and the user
    // hears of it.
    ASSERT_TRUE(Driver_InstallCopier(&standin, ""));
    EXPECT_TRUE(FAILED(Drop(handler, target.c_str(), &one, 0)));
    EXPECT_NE(std::string::npos, message.text.find("next logon"));
    EXPECT_EQ(1u, JobFiles().size());
    handler->Release();
    EXPECT_EQ(1, one.refs) << "the freed handler kept its data object";
}
