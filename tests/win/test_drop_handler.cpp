// The drop handler teshook.dll as the shell meets it: its COM contract
// (factory, lookups, shared counts, unloading, counts and modes that hold
// when several threads use the library at once), the drop menu, and drops
// of real files that write a job file and start the copier, with a message
// owned by the shell's window for every drop that can't be handed over.
// The handler found through its registered class, feeding the installed
// copier, is tested with the installer (test_setup_end_to_end).
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "drop_fixture.h"
#include "job_file.h"
#include "shell_drop.h"
#include "ui_driver.h"
#include "wide_files.h"

namespace {

const GUID c_otherClass = {0x12345678, 0x1234, 0x1234,
                           {1, 2, 3, 4, 5, 6, 7, 8}};

class DropHandler : public DropHandlerFixture {};

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
    std::wstring path = Driver_Wide(sources[0]);
    const wchar_t *item = path.c_str();
    ASSERT_EQ(S_OK, ShellDrop_MakeDataObject(&item, 1, &data));
    EXPECT_EQ(E_INVALIDARG, Drop(init, scene.dst, data, 2));
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

    DriverDropData noFiles;
    EXPECT_EQ(DV_E_FORMATETC, Drop(handler, target, &noFiles, 0));
    EXPECT_EQ("Copier only supports files/folders", message.text);
    EXPECT_EQ(owner, message.owner);

    // Longer than any path Windows can open: refused, not cut.
    DriverDropData tooLong;
    std::string longPath =
        scene.src + "\\" + std::string(JOB_WIDE_PATH_MAX + 1 - scene.src.size(), 'n');
    tooLong.paths = {Driver_Wide(sources[0]), Driver_Wide(longPath)};
    EXPECT_TRUE(FAILED(Drop(handler, target, &tooLong, 0)));
    EXPECT_NE(std::string::npos, message.text.find("too long")) << message.text;
    EXPECT_NE(std::string::npos, message.text.find(longPath.substr(0, 200)))
        << message.text;

    // "My Computer" is no file-system folder: no path for the job.
    LPITEMIDLIST computer = NULL;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(NULL, CSIDL_DRIVES, &computer));
    IShellExtInit *virtualTarget = NewHandler();
    DriverDropData one;
    one.paths = {Driver_Wide(sources[0])};
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
    SetEnvironmentVariableW(L"TMP", Driver_Wide(scene.work + "gone").c_str());
    EXPECT_TRUE(FAILED(Drop(handler, target, &one, 0)));
    EXPECT_NE(std::string::npos, message.text.find("could not be written"));
    SetEnvironmentVariableW(L"TMP", Driver_Wide(scene.temp).c_str());
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
    EXPECT_TRUE(FAILED(Drop(handler, target, &one, 0)));
    EXPECT_NE(std::string::npos, message.text.find("next logon"));
    EXPECT_EQ(1u, JobFiles().size());
    handler->Release();
    EXPECT_EQ(1, one.refs) << "the freed handler kept its data object";
}

// COM's rule for every lookup and creation that fails: the out pointer is
// set to NULL, so a caller that releases what it got releases nothing.
TEST_F(DropHandler, FailedLookupsAndCreationsLeaveNoStalePointer)
{
    void *const stale = (void *)&stale;
    IClassFactory *factory = NULL;
    ASSERT_EQ(S_OK, getClassObject(CLSID_TesDropHandler, IID_IClassFactory,
                                   (void **)&factory));
    void *out = stale;
    EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IDataObject, &out));
    EXPECT_EQ(nullptr, out) << "the factory's QueryInterface";

    out = stale;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance((IUnknown *)factory, IID_IShellExtInit,
                                      &out));
    EXPECT_EQ(nullptr, out) << "an aggregation refused";
    out = stale;
    EXPECT_EQ(E_NOINTERFACE,
              factory->CreateInstance(NULL, IID_IContextMenu, &out));
    EXPECT_EQ(nullptr, out) << "an interface the factory does not hand out";

    IShellExtInit *init = NULL;
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IShellExtInit,
                                            (void **)&init));
    IContextMenu *menu = NULL;
    ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, (void **)&menu));
    out = stale;
    EXPECT_EQ(E_NOINTERFACE, init->QueryInterface(IID_IDataObject, &out));
    EXPECT_EQ(nullptr, out) << "IShellExtInit's QueryInterface";
    out = stale;
    EXPECT_EQ(E_NOINTERFACE, menu->QueryInterface(IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out) << "IContextMenu's QueryInterface";
    // The failures took no reference.
    EXPECT_EQ(3u, menu->AddRef());
    menu->Release();
    menu->Release();
    EXPECT_EQ(0u, init->Release());
    EXPECT_EQ(0u, factory->Release());
}

namespace {

// What each thread of the count test does to the library and to one
// factory and one handler object that all threads share.
struct COUNT_WORK {
    DRIVER_GET_CLASS_OBJECT getClassObject;
    IClassFactory *factory;
    IShellExtInit *init;
    IContextMenu *menu;
    HANDLE start;
    LONG failures;
};

const int c_countRounds = 100000;

DWORD WINAPI CountWork_Thread(void *context)
{
    COUNT_WORK *work = (COUNT_WORK *)context;
    WaitForSingleObject(work->start, DRIVER_TIMEOUT_MS);
    for (int i = 0; i < c_countRounds; i++) {
        IClassFactory *own = NULL;
        if (work->getClassObject(CLSID_TesDropHandler, IID_IClassFactory,
                                 (void **)&own) != S_OK) {
            InterlockedIncrement(&work->failures);
            break;
        }
        own->Release();
        work->factory->AddRef();
        work->menu->AddRef();
        work->init->AddRef();
        work->factory->Release();
        work->init->Release();
        work->menu->Release();
    }
    return 0;
}

}  // namespace

// The shell may hold factories and handler objects on several threads at
// once (two Explorer windows); every count must come out exact.
TEST_F(DropHandler, CountsStayExactWhileManyThreadsTakeAndReleaseReferences)
{
    COUNT_WORK work = {};
    work.getClassObject = getClassObject;
    ASSERT_EQ(S_OK, getClassObject(CLSID_TesDropHandler, IID_IClassFactory,
                                   (void **)&work.factory));
    ASSERT_EQ(S_OK, work.factory->CreateInstance(NULL, IID_IShellExtInit,
                                                 (void **)&work.init));
    ASSERT_EQ(S_OK, work.init->QueryInterface(IID_IContextMenu,
                                              (void **)&work.menu));
    work.start = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE threads[4];
    for (HANDLE &thread : threads) {
        thread = CreateThread(NULL, 0, CountWork_Thread, &work, 0, NULL);
        ASSERT_TRUE(thread != NULL);
    }
    SetEvent(work.start);
    EXPECT_EQ(WAIT_OBJECT_0,
              WaitForMultipleObjects(4, threads, TRUE, 10 * DRIVER_TIMEOUT_MS));
    for (HANDLE thread : threads)
        CloseHandle(thread);
    CloseHandle(work.start);
    EXPECT_EQ(0, work.failures);

    // Exactly the references taken before the threads: one on the factory,
    // two on the handler object.
    EXPECT_EQ(2u, work.factory->AddRef());
    EXPECT_EQ(3u, work.init->AddRef());
    work.init->Release();
    work.factory->Release();
    EXPECT_EQ(S_FALSE, canUnloadNow());
    work.menu->Release();
    EXPECT_EQ(0u, work.init->Release());
    EXPECT_EQ(S_FALSE, canUnloadNow()) << "the factory is still held";
    EXPECT_EQ(0u, work.factory->Release());
    EXPECT_EQ(S_OK, canUnloadNow()) << "the library count went astray";
}

namespace {

// One drop made on a thread of its own, as a second Explorer window makes
// it.
struct THREAD_DROP {
    IShellExtInit *handler;
    std::wstring target;
    IDataObject *data;
    UINT offset;
    HRESULT result;
};

DWORD WINAPI ThreadDrop_Thread(void *context)
{
    THREAD_DROP *drop = (THREAD_DROP *)context;
    CoInitialize(NULL);
    drop->result = ShellDrop_Drop(drop->handler, drop->target.c_str(),
                                  drop->data, drop->offset, NULL, NULL);
    CoUninitialize();
    return 0;
}

}  // namespace

// A copy chosen in one window while a move is chosen in another: the copy
// is held between its choice and the writing of its job (in GetData), the
// move runs to its end meanwhile, and each job keeps its own mode.
TEST_F(DropHandler, TwoMenusChosenAtOnceEachHandOverTheirOwnMode)
{
    ASSERT_TRUE(Driver_InstallRecordingCopier(&standin, records));
    MakeFiles(2);
    DriverDropData copyData, moveData;
    copyData.paths = {Driver_Wide(sources[0])};
    moveData.paths = {Driver_Wide(sources[1])};
    copyData.entered = CreateEventA(NULL, TRUE, FALSE, NULL);
    copyData.proceed = CreateEventA(NULL, TRUE, FALSE, NULL);

    THREAD_DROP copy = {NewHandler(), Driver_Wide(scene.dst), &copyData, 0,
                        E_FAIL};
    THREAD_DROP move = {NewHandler(), Driver_Wide(scene.dst), &moveData, 1,
                        E_FAIL};
    ASSERT_TRUE(copy.handler && move.handler);
    Driver_StartMessageWatch(&message, "Error");
    HANDLE copyThread = CreateThread(NULL, 0, ThreadDrop_Thread, &copy, 0, NULL);
    ASSERT_TRUE(copyThread != NULL);
    EXPECT_EQ(WAIT_OBJECT_0,
              WaitForSingleObject(copyData.entered, DRIVER_TIMEOUT_MS));
    HANDLE moveThread = CreateThread(NULL, 0, ThreadDrop_Thread, &move, 0, NULL);
    ASSERT_TRUE(moveThread != NULL);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(moveThread, DRIVER_TIMEOUT_MS));
    SetEvent(copyData.proceed);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(copyThread, DRIVER_TIMEOUT_MS));
    Driver_EndMessageWatch(&message);
    CloseHandle(copyThread);
    CloseHandle(moveThread);
    CloseHandle(copyData.entered);
    CloseHandle(copyData.proceed);
    copy.handler->Release();
    move.handler->Release();
    EXPECT_FALSE(message.seen) << message.text;
    EXPECT_EQ(S_OK, copy.result);
    EXPECT_EQ(S_OK, move.result);

    std::vector<std::string> jobs = JobFiles();
    ASSERT_EQ(2u, jobs.size());
    std::vector<std::string> expected = {
        Driver_UnicodeJobBytes(JOB_MODE_COPY, scene.dst, {sources[0]}),
        Driver_UnicodeJobBytes(JOB_MODE_MOVE, scene.dst, {sources[1]})};
    std::vector<std::string> written(2);
    ASSERT_TRUE(Driver_ReadFile(scene.temp + jobs[0], &written[0]));
    ASSERT_TRUE(Driver_ReadFile(scene.temp + jobs[1], &written[1]));
    std::sort(expected.begin(), expected.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(expected, written);
    EXPECT_EQ(2u, Driver_RecordedLaunches(records, GetCurrentProcessId()).size());
}
