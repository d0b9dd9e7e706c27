// Windows' "Use Unicode UTF-8 for worldwide language support" makes UTF-8
// (65001) the ANSI code page.  ctest runs this program under
// LC_ALL=hi_IN.UTF-8, which gives Wine that code page: a copy under it
// copies every name, as under any other.
#include "test_engine_common.h"

namespace {

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
