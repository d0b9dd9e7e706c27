// Set-up shared by the tests of the drop handler: teshook.dll loaded by
// file, as the shell loads it; handler objects from its class factory; a
// scene of folders with its own temporary folder (TMP); drops through the
// shell's own data object (tools/shell_drop) or through a drag source's
// data object of the test's choice; a message box answered; job files and
// the recording stand-in of the installed copier.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installed_copier.h"
#include "message_watch.h"
#include "test_files.h"

typedef HRESULT(STDAPICALLTYPE *DRIVER_GET_CLASS_OBJECT)(REFCLSID, REFIID,
                                                         void **);
typedef HRESULT(STDAPICALLTYPE *DRIVER_CAN_UNLOAD_NOW)(void);

// A drag source's own data object: CF_HDROP of the given paths (UTF-16
// DROPFILES, as any program that starts a drag may offer them), or no file
// list at all when there are none.  With a gate, GetData signals `entered`
// and waits for `proceed`, holding a drop half-way.
struct DriverDropData : IDataObject {
    LONG refs = 1;
    std::vector<std::wstring> paths;
    HANDLE entered = NULL;
    HANDLE proceed = NULL;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC *format,
                                      STGMEDIUM *medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC *, STGMEDIUM *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC *, FORMATETC *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC *, STGMEDIUM *, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC *, DWORD, IAdviseSink *, DWORD *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA **) override { return E_NOTIMPL; }
};

class DropHandlerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A handler object from a new class factory (released again).
    IShellExtInit *NewHandler(void);

    // One drop onto `target` (UTF-8) with command `offset`, a message box
    // (if any) answered.  Returns InvokeCommand's result.
    HRESULT Drop(IShellExtInit *handler, const std::string &target,
                 IDataObject *data, UINT offset);

    // Items (UTF-8 paths, of one folder) dropped through the shell's own
    // data object onto `target` by a new handler object.
    HRESULT DropFiles(const std::vector<std::string> &paths,
                      const std::string &target, UINT offset);

    // The job files in the scene's temporary folder.
    std::vector<std::string> JobFiles(void);
    // The one job file that `before` did not hold; empty when none or more.
    std::string NewJobFile(const std::vector<std::string> &before);

    void MakeFiles(int count);

    HMODULE module = NULL;
    DRIVER_GET_CLASS_OBJECT getClassObject = NULL;
    DRIVER_CAN_UNLOAD_NOW canUnloadNow = NULL;
    FILES_SCENE scene;
    HWND owner = NULL;
    wchar_t tmp[MAX_PATH];
    bool savedTmp = false;
    DRIVER_MESSAGE_WATCH message;
    HRESULT menuItems = 0;
    std::vector<std::string> sources;
    std::string records;                 // where a stand-in copier records
    DRIVER_INSTALLED_COPIER standin;
};
