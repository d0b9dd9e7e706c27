// teshook.dll's entry point and its two exports.  The library has no
// self-registration: the installer writes the registry entries.
#include "tes_menu.h"

// {A4D78B20-6E05-1069-8758-4E73FD83DEAD}
const CLSID CLSID_SampleTesMenu = {
    0xA4D78B20, 0x6E05, 0x1069,
    {0x87, 0x58, 0x4E, 0x73, 0xFD, 0x83, 0xDE, 0xAD}};

TESHOOK_COUNT g_cRefThisDll{0};

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    // The shell's threads come and go; we keep nothing per thread.
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid,
                                                    REFIID riid, void **ppvOut)
{
    if (!TesHook_SameIID(rclsid, CLSID_SampleTesMenu))
        return E_FAIL;
    return SHCreateDefClassObject(riid, ppvOut, TesMenu_CreateInstance,
                                  &g_cRefThisDll, &IID_IShellExtInit);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow(void)
{
    return g_cRefThisDll == 0 ? S_OK : S_FALSE;
}
