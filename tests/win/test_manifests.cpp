// The application manifests embedded in the built programs, read as the
// system reads them: an activation context made from each program's
// resource 1 of type RT_MANIFEST.  They decide how UAC starts the program
// (the installer elevated, the copier as its invoker and so never
// virtualized), which Common Controls it draws with, and which Windows
// versions it declares.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ui_driver.h"

// An activation context of the program's embedded manifest; the failure
// leaves INVALID_HANDLE_VALUE and the error in *error.
static HANDLE Manifest_Context(const char *program, DWORD *error)
{
    std::string path = Driver_BinFolder() + "\\" + program;
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.c_str();
    context.lpResourceName = MAKEINTRESOURCEA(1);   // the process manifest
    HANDLE handle = CreateActCtxA(&context);
    *error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return handle;
}

// What the manifest asks of UAC: its run level, and whether it wants
// access to other programs' windows.
static bool Manifest_RunLevel(HANDLE context, ACTCTX_REQUESTED_RUN_LEVEL *level,
                              DWORD *uiAccess)
{
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION info = {};
    SIZE_T size = 0;
    if (!QueryActCtxW(0, context, NULL, RunlevelInformationInActivationContext,
                      &info, sizeof info, &size))
        return false;
    *level = info.RunLevel;
    *uiAccess = info.UiAccess;
    return true;
}

// One entry of the compatibility query, as Windows 10 (since 1903) and Wine
// lay it out; the platform headers here predate MaxVersionTested.
struct MANIFEST_COMPATIBILITY_ELEMENT {
    GUID id;
    DWORD type;                     // ACTCTX_COMPATIBILITY_ELEMENT_TYPE
    ULONGLONG maxVersionTested;
};
struct MANIFEST_COMPATIBILITY {
    DWORD count;
    MANIFEST_COMPATIBILITY_ELEMENT elements[1];
};

// The operating systems the manifest names as supported, as GUID texts;
// one entry "layout?" when the answer has a size this layout cannot read.
static std::vector<std::string> Manifest_SupportedSystems(HANDLE context)
{
    std::vector<std::string> systems;
    std::vector<char> buffer(4096);
    SIZE_T size = 0;
    if (!QueryActCtxW(0, context, NULL, CompatibilityInformationInActivationContext,
                      buffer.data(), buffer.size(), &size))
        return systems;
    auto *info = (const MANIFEST_COMPATIBILITY *)buffer.data();
    if (size != offsetof(MANIFEST_COMPATIBILITY, elements) +
                    info->count * sizeof(MANIFEST_COMPATIBILITY_ELEMENT)) {
        systems.push_back("layout?");
        return systems;
    }
    for (DWORD i = 0; i < info->count; i++) {
        if (info->elements[i].type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)
            continue;
        const GUID &id = info->elements[i].id;
        char text[40];
        wsprintfA(text, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  id.Data1, id.Data2, id.Data3, id.Data4[0], id.Data4[1],
                  id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5],
                  id.Data4[6], id.Data4[7]);
        systems.push_back(text);
    }
    return systems;
}

// The identities of the assemblies the context binds, the program's own
// first ("Name,type=...,version=...").
static std::vector<std::string> Manifest_Assemblies(HANDLE context)
{
    std::vector<std::string> assemblies;
    std::vector<char> buffer(16384);
    SIZE_T size = 0;
    if (!QueryActCtxW(0, context, NULL, ActivationContextDetailedInformation,
                      buffer.data(), buffer.size(), &size))
        return assemblies;
    DWORD count = ((const ACTIVATION_CONTEXT_DETAILED_INFORMATION *)buffer.data())->ulAssemblyCount;
    for (DWORD index = 1; index <= count; index++) {
        if (!QueryActCtxW(0, context, &index,
                          AssemblyDetailedInformationInActivationContext,
                          buffer.data(), buffer.size(), &size))
            continue;
        auto *assembly = (const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION *)buffer.data();
        char identity[1024] = "";
        if (assembly->lpAssemblyEncodedAssemblyIdentity)
            WideCharToMultiByte(CP_ACP, 0, assembly->lpAssemblyEncodedAssemblyIdentity,
                                -1, identity, sizeof identity, NULL, NULL);
        assemblies.push_back(identity);
    }
    return assemblies;
}

struct MANIFEST_CASE {
    const char *program;
    ACTCTX_REQUESTED_RUN_LEVEL level;
};

static void PrintTo(const MANIFEST_CASE &param, std::ostream *out)
{
    *out << param.program;
}

class Manifests : public ::testing::TestWithParam<MANIFEST_CASE> {};

// The installer writes into the Windows folder and HKLM: without
// elevation every write fails.  The copier runs as whoever started it; a
// manifest's run level also switches file virtualization off, which would
// otherwise send a 32-bit copier's writes into protected folders to a
// private store.
TEST_P(Manifests, RunLevelIsTheProgramsOwn)
{
    DWORD error;
    HANDLE context = Manifest_Context(GetParam().program, &error);
    ASSERT_NE(INVALID_HANDLE_VALUE, context) << "no usable manifest, error " << error;
    ACTCTX_REQUESTED_RUN_LEVEL level = ACTCTX_RUN_LEVEL_UNSPECIFIED;
    DWORD uiAccess = 1;
    EXPECT_TRUE(Manifest_RunLevel(context, &level, &uiAccess));
    EXPECT_EQ(GetParam().level, level);
    EXPECT_EQ(0u, uiAccess);
    ReleaseActCtx(context);
}

// Windows 7, 8, 8.1, and 10 (which Windows 11 shares): without them newer
// Windows treats the program as written for Vista and lies to it.
TEST_P(Manifests, NamesWindowsSevenToElevenAsSupported)
{
    DWORD error;
    HANDLE context = Manifest_Context(GetParam().program, &error);
    ASSERT_NE(INVALID_HANDLE_VALUE, context) << "no usable manifest, error " << error;
    std::vector<std::string> expected = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",   // Windows 10 and 11
    };
    EXPECT_EQ(expected, Manifest_SupportedSystems(context));
    ReleaseActCtx(context);
}

// The controls draw with the system's visual style only when Common
// Controls 6 is bound; the binding must resolve, or the program would not
// start at all on Windows.
TEST_P(Manifests, BindsCommonControlsSix)
{
    DWORD error;
    HANDLE context = Manifest_Context(GetParam().program, &error);
    ASSERT_NE(INVALID_HANDLE_VALUE, context) << "no usable manifest, error " << error;
    std::vector<std::string> assemblies = Manifest_Assemblies(context);
    bool bound = false;
    for (const std::string &identity : assemblies)
        if (identity.rfind("Microsoft.Windows.Common-Controls,", 0) == 0 &&
            identity.find("version=\"6.") != std::string::npos)
            bound = true;
    std::string all;
    for (const std::string &identity : assemblies)
        all += identity + "\n";
    EXPECT_TRUE(bound) << "bound:\n" << all;
    ReleaseActCtx(context);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, Manifests,
    ::testing::Values(MANIFEST_CASE{"tessetup.exe", ACTCTX_RUN_LEVEL_REQUIRE_ADMIN},
                      MANIFEST_CASE{"tesrun.exe", ACTCTX_RUN_LEVEL_AS_INVOKER}),
    [](const ::testing::TestParamInfo<MANIFEST_CASE> &info) {
        return std::string(info.param.program).substr(0, std::string(info.param.program).find('.'));
    });
