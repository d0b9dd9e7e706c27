// Windows' "Use Unicode UTF-8 for worldwide language support" makes UTF-8
// (65001) the ANSI code page.  ctest runs this program under
// LC_ALL=hi_IN.UTF-8, which gives Wine that code page.  The name check must
// keep to what Windows accepts there - Wine is more lenient, so the check
// is also held to Windows' rules by a stand-in for the conversion - and a
// copy under it must copy every name.
#include "test_engine_common.h"

#include "copy_state.h"
#include "listing.h"

#include "copy_state.cpp"
#include "entry_rules.cpp"
#include "listing.cpp"
#include "ascii_case.cpp"

#ifndef WC_ERR_INVALID_CHARS
#define WC_ERR_INVALID_CHARS 0x80     // Vista and later
#endif

namespace {

// WideCharToMultiByte as Windows documents it for CP_UTF8: every flag but
// WC_ERR_INVALID_CHARS and any default-character argument fail the call.
// The ANSI code page is taken to be UTF-8.
int WINAPI Strict_ToUtf8(UINT, DWORD flags, LPCWCH wide, int wideLength,
                         LPSTR out, int outSize, LPCCH defaultChar,
                         LPBOOL usedDefault)
{
    if ((flags & ~WC_ERR_INVALID_CHARS) || defaultChar || usedDefault) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    return WideCharToMultiByte(CP_UTF8, flags, wide, wideLength, out, outSize,
                               NULL, NULL);
}

int WINAPI Strict_FromUtf8(UINT, DWORD flags, LPCCH text, int length,
                           LPWSTR out, int outSize)
{
    return MultiByteToWideChar(CP_UTF8, flags, text, length, out, outSize);
}

TEST(CodePage, NameCheckKeepsToWhatWindowsAcceptsForUtf8)
{
    // Under UTF-8 every name survives: none may count as lost.
    const wchar_t *const names[] = {L"caf\x00E9.txt", L"\x0101.txt",
                                    L"\x65E5\x672C.txt", L"\xD83D\xDE00.txt"};
    for (const wchar_t *name : names) {
        char out[MAX_PATH];
        EXPECT_TRUE(Listing_NameToAnsiWith(name, out, sizeof out,
                                           Strict_ToUtf8, Strict_FromUtf8))
            << "a name that UTF-8 holds counted as lost";
    }
}

TEST(CodePage, CopyUnderUtf8CopiesEveryName)
{
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "not run under a UTF-8 code page (ctest sets "
                        "LC_ALL=hi_IN.UTF-8 for this program)";
    FILES_SCENE scene;
    ASSERT_TRUE(Files_NewScene("utf8", &scene));
    if (!Driver_RunUnix("locale -a | grep -qi '^hi_IN.utf8$' && touch '" +
                        Driver_UnixPath(Files_Join(scene.work, "locale")) +
                        "'") ||
        !Driver_FileExists(Files_Join(scene.work, "locale")))
        GTEST_SKIP() << "the Linux locale hi_IN.UTF-8 is not generated "
                        "(localedef -i hi_IN -f UTF-8 hi_IN.UTF-8)";
    // In this code page the A functions take UTF-8.
    const char *const names[] = {"caf\xC3\xA9.txt", "\xC4\x81.txt", "a.txt",
                                 "\xE6\x97\xA5\xE6\x9C\xAC.txt"};
    std::string folder = Files_Join(scene.src, "names");
    Files_MakeFolder(folder);
    std::vector<std::string> bytes;
    for (unsigned i = 0; i < 4; i++)
        bytes.push_back(Engine_MakeFile(Files_Join(folder, names[i]), 1000 + i,
                                        i + 1));
    Engine_RunJob(scene.temp, 220, JOB_MODE_COPY, scene.dst, {folder});
    for (unsigned i = 0; i < 4; i++)
        Engine_ExpectFile(Files_Join(scene.dst, std::string("names\\") + names[i]),
                          bytes[i], i + 1);
}

}  // namespace
