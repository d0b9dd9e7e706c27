// The job file's byte layout, the loader's body check, and the copier's
// argument and found-name parsing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "job_arguments.h"
#include "job_file.h"

namespace {

const uint8_t kFiller[JOB_FILLER_SIZE] = {0x10, 0x20, 0x30, 0x40,
                                          0x50, 0x60, 0x70};

// A whole job file as the writer lays it out.
std::string EncodeJob(int mode, const std::string &target,
                      const std::vector<std::string> &sources)
{
    uint8_t head[JOB_HEADER_SIZE + JOB_COUNT_SIZE];
    JobFile_EncodeHead(head, kFiller, mode, (uint32_t)sources.size());
    std::string file((const char *)head, sizeof head);
    file.append(target.c_str(), target.size() + 1);
    for (const std::string &source : sources)
        file.append(source.c_str(), source.size() + 1);
    return file;
}

// The body, as the loader holds it: the file after its header.
std::vector<uint8_t> BodyOf(const std::string &file)
{
    return std::vector<uint8_t>(file.begin() + JOB_HEADER_SIZE, file.end());
}

bool Check(const std::vector<uint8_t> &body, JOB_BODY_INFO *info,
           size_t maxPath = 259)
{
    return JobFile_CheckBody(body.data(), body.size(), maxPath, info);
}

std::vector<std::string> ManySources(size_t count)
{
    std::vector<std::string> sources;
    for (size_t i = 0; i < count; i++)
        sources.push_back("C:\\data\\file" + std::to_string(i) + ".txt");
    return sources;
}

}  // namespace

TEST(JobFileLayout, SingleFileOntoDriveRootIsTwentyFiveBytes)
{
    const char *sources[] = {"C:\\a.txt"};
    std::string file = EncodeJob(JOB_MODE_COPY, "D:\\", {sources[0]});
    const uint8_t expected[25] = {
        0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x01,   // filler, mode
        0x01, 0x00, 0x00, 0x00,                           // one source
        'D', ':', '\\', 0,                                // target
        'C', ':', '\\', 'a', '.', 't', 'x', 't', 0};      // the source
    ASSERT_EQ(25u, file.size());
    EXPECT_EQ(0, memcmp(expected, file.data(), sizeof expected));
    EXPECT_EQ(25u, JobFile_EncodedSize("D:\\", sources, 1));

    std::string move = EncodeJob(JOB_MODE_MOVE, "D:\\", {sources[0]});
    ASSERT_EQ(file.size(), move.size());
    for (size_t i = 0; i < file.size(); i++) {
        if (i == JOB_MODE_OFFSET)
            EXPECT_EQ(0, move[i]);
        else
            EXPECT_EQ(file[i], move[i]) << "byte " << i;
    }
}

TEST(JobFileLayout, ModeByteOtherThanZeroReadsAsCopy)
{
    uint8_t header[JOB_HEADER_SIZE] = {9, 9, 9, 9, 9, 9, 9, 0};
    EXPECT_EQ(JOB_MODE_MOVE, JobFile_ModeFromHeader(header));
    for (int value : {1, 2, 0x80, 0xFF}) {
        header[JOB_MODE_OFFSET] = (uint8_t)value;
        EXPECT_EQ(JOB_MODE_COPY, JobFile_ModeFromHeader(header)) << value;
    }
    // The filler bytes play no part.
    header[JOB_MODE_OFFSET] = 0;
    memset(header, 0, JOB_FILLER_SIZE);
    EXPECT_EQ(JOB_MODE_MOVE, JobFile_ModeFromHeader(header));
}

TEST(JobFileLayout, CountUsesTheThreeLowBytesOnly)
{
    const uint8_t oneWithHighByte[4] = {0x01, 0x00, 0x00, 0x05};
    EXPECT_EQ(1u, JobFile_CountFromBody(oneWithHighByte));
    const uint8_t twoHundred[4] = {0xC8, 0x00, 0x00, 0x00};
    EXPECT_EQ(200u, JobFile_CountFromBody(twoHundred));
    const uint8_t seventyThousand[4] = {0x70, 0x11, 0x01, 0x00};
    EXPECT_EQ(70000u, JobFile_CountFromBody(seventyThousand));
    const uint8_t largest[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ((uint32_t)JOB_MAX_SOURCES, JobFile_CountFromBody(largest));

    // And the writer puts the count there, low byte first.
    uint8_t head[JOB_HEADER_SIZE + JOB_COUNT_SIZE];
    JobFile_EncodeHead(head, kFiller, JOB_MODE_COPY, 200);
    EXPECT_EQ(0, memcmp(twoHundred, head + JOB_HEADER_SIZE, 4));
    JobFile_EncodeHead(head, kFiller, JOB_MODE_COPY, 70000);
    EXPECT_EQ(0, memcmp(seventyThousand, head + JOB_HEADER_SIZE, 4));
}

TEST(JobFileLayout, JobNumbersStayWithinOneHundredAndNineNinetySeven)
{
    EXPECT_EQ(100, JobFile_NumberFromRand(0));
    EXPECT_EQ(997, JobFile_NumberFromRand(897));
    EXPECT_EQ(100, JobFile_NumberFromRand(898));
    for (int value = 0; value < 40000; value += 7) {
        int number = JobFile_NumberFromRand(value);
        ASSERT_GE(number, 100);
        ASSERT_LE(number, 997);
    }
}

TEST(JobFileCheckBody, AcceptsSoundBodiesOfManySources)
{
    for (size_t count : {(size_t)0, (size_t)1, (size_t)200, (size_t)70000}) {
        std::vector<std::string> sources = ManySources(count);
        std::vector<uint8_t> body =
            BodyOf(EncodeJob(JOB_MODE_COPY, "D:\\backup", sources));
        JOB_BODY_INFO info;
        ASSERT_TRUE(Check(body, &info)) << count;
        EXPECT_EQ(count, info.sourceCount);
        EXPECT_EQ((uint32_t)JOB_TARGET_OFFSET, info.targetOffset);
        EXPECT_EQ(9u, info.targetLength);
        EXPECT_EQ(JOB_TARGET_OFFSET + 10u, info.firstSourceOffset);
        // The walker, by count and NULs, ends exactly at the end of the body.
        uint32_t cursor = info.firstSourceOffset;
        for (size_t i = 0; i < count; i++) {
            char path[260];
            JobFile_NextSource(body.data(), body.size(), &cursor, path,
                               sizeof path);
            ASSERT_EQ(sources[i], path);
        }
        EXPECT_EQ(body.size(), cursor);
    }
}

TEST(JobFileCheckBody, RefusesDamagedBodies)
{
    JOB_BODY_INFO info;
    std::vector<uint8_t> sound =
        BodyOf(EncodeJob(JOB_MODE_COPY, "D:\\", {"C:\\a.txt", "C:\\b"}));
    ASSERT_TRUE(Check(sound, &info));

    // Short bodies: an 11-byte file leaves 3; 4 bytes hold no target.
    for (size_t size = 0; size <= 4; size++) {
        std::vector<uint8_t> shortBody(sound.begin(), sound.begin() + size);
        EXPECT_FALSE(Check(shortBody, &info)) << size << " bytes";
    }
    EXPECT_FALSE(JobFile_CheckBody(NULL, 0, 259, &info));

    // Fewer strings than the count says.
    std::vector<uint8_t> fewer = sound;
    fewer[0] = 3;
    EXPECT_FALSE(Check(fewer, &info));
    std::vector<uint8_t> huge = sound;
    huge[2] = 0x7F;
    EXPECT_FALSE(Check(huge, &info));

    // The last source lacks its NUL; the target lacks its NUL.
    std::vector<uint8_t> unterminated(sound.begin(), sound.end() - 1);
    EXPECT_FALSE(Check(unterminated, &info));
    std::vector<uint8_t> noTargetEnd = {1, 0, 0, 0, 'D', ':', '\\'};
    EXPECT_FALSE(Check(noTargetEnd, &info));

    // No target folder: the copy would land in the current drive's root.
    EXPECT_FALSE(Check(BodyOf(EncodeJob(JOB_MODE_COPY, "", {"C:\\a.txt"})),
                       &info));
}

// The walker never leaves the body, whatever the cursor or the bytes, and
// cuts a path to the caller's buffer.
TEST(JobFileWalker, StaysInsideTheBodyAndTheBuffer)
{
    const std::vector<uint8_t> body = {'a', 'b', 'c', 0, 'd', 'e'};
    char path[3];
    uint32_t cursor = 0;
    JobFile_NextSource(body.data(), body.size(), &cursor, path, sizeof path);
    EXPECT_STREQ("ab", path);
    EXPECT_EQ(4u, cursor);
    JobFile_NextSource(body.data(), body.size(), &cursor, path, sizeof path);
    EXPECT_STREQ("de", path);            // no NUL: ends with the body
    EXPECT_EQ(6u, cursor);
    cursor = 100;
    JobFile_NextSource(body.data(), body.size(), &cursor, path, sizeof path);
    EXPECT_STREQ("", path);
    EXPECT_EQ(6u, cursor);
}

TEST(JobFileCheckBody, PathLongerThanTheLimitIsRefused)
{
    JOB_BODY_INFO info;
    const size_t limit = 259;
    std::string longest(limit, 'x');
    std::string tooLong(limit + 1, 'x');

    EXPECT_TRUE(Check(BodyOf(EncodeJob(1, "D:\\", {"C:\\" + longest.substr(3)})),
                      &info, limit));
    EXPECT_TRUE(Check(BodyOf(EncodeJob(1, longest, {"C:\\a"})), &info, limit));
    EXPECT_FALSE(Check(BodyOf(EncodeJob(1, "D:\\", {"C:\\a", tooLong})), &info,
                       limit));
    EXPECT_FALSE(Check(BodyOf(EncodeJob(1, tooLong, {"C:\\a"})), &info, limit));
}

TEST(JobArguments, SortsTheCommandLineForms)
{
    char name[JOB_NAME_CHARS + 1];
    int paused = -1;

    EXPECT_EQ(JOB_ARGUMENT_JOB, JobArguments_Parse("123", name, &paused));
    EXPECT_STREQ("123", name);
    EXPECT_EQ(0, paused);

    EXPECT_EQ(JOB_ARGUMENT_JOB, JobArguments_Parse("123R", name, &paused));
    EXPECT_STREQ("123", name);
    EXPECT_EQ(1, paused);

    // Only an upper-case R in the fourth place means paused.
    EXPECT_EQ(JOB_ARGUMENT_JOB, JobArguments_Parse("123r", name, &paused));
    EXPECT_STREQ("123r", name);
    EXPECT_EQ(0, paused);

    EXPECT_EQ(JOB_ARGUMENT_RESUME_SCAN,
              JobArguments_Parse("/startup", name, &paused));
    EXPECT_EQ(0, paused);

    // An empty argument names the file "tesqueue." itself.
    EXPECT_EQ(JOB_ARGUMENT_JOB, JobArguments_Parse("", name, &paused));
    EXPECT_STREQ("", name);
    EXPECT_EQ(0, paused);
}

TEST(JobArguments, RefusesWhatCannotNameAJobFile)
{
    char name[JOB_NAME_CHARS + 1];
    int paused = -1;
    // Case matters: "/STARTUP" is no resume scan; as a job name it holds a
    // path character, so it ends the copier as a missing job file would.
    EXPECT_EQ(JOB_ARGUMENT_REFUSED,
              JobArguments_Parse("/STARTUP", name, &paused));
    EXPECT_EQ(0, paused);
    EXPECT_EQ(JOB_ARGUMENT_REFUSED, JobArguments_Parse("12345", name, &paused));
    EXPECT_EQ(JOB_ARGUMENT_REFUSED,
              JobArguments_Parse(std::string(500, '1').c_str(), name, &paused));
    for (const char *escape : {"..\\", "1/2", "c:", "\\12", "/12"})
        EXPECT_EQ(JOB_ARGUMENT_REFUSED, JobArguments_Parse(escape, name, &paused))
            << escape;
    EXPECT_STREQ("", name);
}

TEST(JobArguments, NumberFromFoundNames)
{
    char number[4] = "xxx";
    EXPECT_TRUE(JobArguments_NumberFromFoundName("TESQUEUE.123",
                                                 "tesqueue.123", number));
    EXPECT_STREQ("123", number);

    // A file system that gives no short name: the long name serves.
    EXPECT_TRUE(JobArguments_NumberFromFoundName("", "tesqueue.456", number));
    EXPECT_STREQ("456", number);
    EXPECT_TRUE(JobArguments_NumberFromFoundName(NULL, "TESQUEUE.789", number));
    EXPECT_STREQ("789", number);

    // Not job files, though the pattern tesqueue.* finds them.  A hashed
    // short name of tesqueue.1234 still ends in ".123": it must not count.
    EXPECT_FALSE(JobArguments_NumberFromFoundName("", "tesqueue.1234", number));
    EXPECT_FALSE(JobArguments_NumberFromFoundName("TESQUE~1.123",
                                                  "tesqueue.1234", number));
    EXPECT_FALSE(JobArguments_NumberFromFoundName("", "tesqueue.12", number));
    EXPECT_FALSE(JobArguments_NumberFromFoundName("", "tesqueue.12a", number));
    EXPECT_FALSE(JobArguments_NumberFromFoundName("", "tesqueue.", number));
    EXPECT_FALSE(JobArguments_NumberFromFoundName("", "tesqueuex123", number));
}

// --- the Unicode form ------------------------------------------------------

namespace {

// A whole job in the Unicode form, its strings given as UTF-8 bytes.
std::string EncodeUnicodeJob(int mode, const std::string &target,
                             const std::vector<std::string> &sources)
{
    uint8_t head[JOB_HEADER_SIZE + JOB_COUNT_SIZE];
    JobFile_EncodeUnicodeHead(head, mode, (uint32_t)sources.size());
    std::string file((const char *)head, sizeof head);
    file.append(target.c_str(), target.size() + 1);
    for (const std::string &source : sources)
        file.append(source.c_str(), source.size() + 1);
    return file;
}

bool CheckUtf8(const std::vector<uint8_t> &body, JOB_BODY_INFO *info,
               size_t maxUnits = JOB_WIDE_PATH_MAX)
{
    return JobFile_CheckBodyOfForm(body.data(), body.size(), JOB_TEXT_UTF8,
                                   maxUnits, info);
}

// Every source of a checked body, walked with the UTF-8 walker.
std::vector<std::u16string> WalkUtf8(const std::vector<uint8_t> &body,
                                     const JOB_BODY_INFO &info)
{
    std::vector<std::u16string> paths;
    std::vector<JOB_WCHAR> path(JOB_WIDE_PATH_MAX + 1);
    uint32_t cursor = info.firstSourceOffset;
    for (uint32_t i = 0; i < info.sourceCount; i++) {
        EXPECT_TRUE(JobFile_NextSourceUtf8(body.data(), body.size(), &cursor,
                                           path.data(), path.size()));
        paths.push_back(std::u16string(path.data()));
    }
    EXPECT_EQ(body.size(), cursor);
    return paths;
}

}  // namespace

TEST(JobFileUnicode, TheSignatureMarksTheFormAndOnlyTheSignature)
{
    std::string file = EncodeUnicodeJob(JOB_MODE_MOVE, "D:\\", {"C:\\a.txt"});
    const uint8_t expected[25] = {
        'T', 'e', 's', 'U', 'T', 'F', '8', 0x00,          // signature, mode
        0x01, 0x00, 0x00, 0x00,                           // one source
        'D', ':', '\\', 0,
        'C', ':', '\\', 'a', '.', 't', 'x', 't', 0};
    ASSERT_EQ(25u, file.size());
    EXPECT_EQ(0, memcmp(expected, file.data(), sizeof expected));
    const uint8_t *header = (const uint8_t *)file.data();
    EXPECT_EQ(JOB_TEXT_UTF8, JobFile_TextFormFromHeader(header));
    EXPECT_EQ(JOB_MODE_MOVE, JobFile_ModeFromHeader(header));

    // The mode byte is not part of the signature.
    uint8_t copy[JOB_HEADER_SIZE];
    memcpy(copy, header, sizeof copy);
    copy[JOB_MODE_OFFSET] = 0x7F;
    EXPECT_EQ(JOB_TEXT_UTF8, JobFile_TextFormFromHeader(copy));
    // Any other filler, one byte off included, is an older ANSI job.
    for (int i = 0; i < JOB_FILLER_SIZE; i++) {
        memcpy(copy, header, sizeof copy);
        copy[i] ^= 0x20;
        EXPECT_EQ(JOB_TEXT_ANSI, JobFile_TextFormFromHeader(copy)) << i;
    }
    EXPECT_EQ(JOB_TEXT_ANSI, JobFile_TextFormFromHeader(kFiller));
}

TEST(JobFileUnicode, LongPathsAreAcceptedAndTheLimitCountsUtf16Units)
{
    // Far past the ANSI form's 259 bytes.
    std::string deep = "C:\\";
    for (int i = 0; i < 40; i++)
        deep += u8"папка" + std::to_string(i) + "\\";
    deep += u8"файл.txt";
    std::vector<uint8_t> body =
        BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, u8"D:\\цель", {deep, "C:\\a"}));
    JOB_BODY_INFO info;
    ASSERT_TRUE(CheckUtf8(body, &info));
    EXPECT_EQ(2u, info.sourceCount);
    EXPECT_EQ(JOB_TEXT_UTF8, info.textForm);
    EXPECT_EQ(strlen(u8"D:\\цель"), info.targetLength);
    EXPECT_FALSE(Check(body, &info)) << "the ANSI limit was applied";

    // 100 Japanese characters are 300 bytes but 100 units; 50 emoji are
    // 200 bytes and 100 units (surrogate pairs count twice).
    std::string japanese, emoji;
    for (int i = 0; i < 100; i++)
        japanese += u8"日";
    for (int i = 0; i < 50; i++)
        emoji += u8"\U0001F600";
    for (const std::string &path : {japanese, emoji}) {
        std::vector<uint8_t> one =
            BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, "D:\\", {path}));
        EXPECT_TRUE(CheckUtf8(one, &info, 100));
        EXPECT_FALSE(CheckUtf8(one, &info, 99));
        std::vector<uint8_t> asTarget =
            BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, path, {}));
        EXPECT_TRUE(CheckUtf8(asTarget, &info, 100));
        EXPECT_FALSE(CheckUtf8(asTarget, &info, 99));
    }
}

TEST(JobFileUnicode, InvalidUtf8AnywhereRefusesTheBody)
{
    JOB_BODY_INFO info;
    // "café" as an older job stores it in code page 1252: right for the
    // ANSI form, no UTF-8 at all.
    const std::string cafe1252 = "C:\\caf\xE9";
    std::vector<uint8_t> ansi =
        BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, "D:\\", {cafe1252}));
    EXPECT_TRUE(Check(ansi, &info));
    EXPECT_FALSE(CheckUtf8(ansi, &info));

    const std::string bad[] = {
        "C:\\\xC0\xAF", "C:\\\xED\xA0\x80", "C:\\\xF4\x90\x80\x80",
        "C:\\\xE6\x97", "C:\\\x80",
    };
    for (const std::string &path : bad) {
        EXPECT_FALSE(CheckUtf8(
            BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, "D:\\", {"C:\\a", path})),
            &info));
        EXPECT_FALSE(CheckUtf8(
            BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, path, {"C:\\a"})), &info));
    }
    // The rules of the older form hold too: count, NULs, a target.
    std::vector<uint8_t> sound =
        BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, u8"D:\\日", {u8"C:\\ā", "C:\\a"}));
    ASSERT_TRUE(CheckUtf8(sound, &info));
    std::vector<uint8_t> fewer = sound;
    fewer[0] = 3;
    EXPECT_FALSE(CheckUtf8(fewer, &info));
    std::vector<uint8_t> unterminated(sound.begin(), sound.end() - 1);
    EXPECT_FALSE(CheckUtf8(unterminated, &info));
    EXPECT_FALSE(CheckUtf8(BodyOf(EncodeUnicodeJob(1, "", {"C:\\a"})), &info));
    EXPECT_FALSE(JobFile_CheckBodyOfForm(NULL, 0, JOB_TEXT_UTF8, 10, &info));
}

TEST(JobFileUnicode, TheWalkerGivesEachPathAsItsOwnUnits)
{
    const std::vector<std::string> sources = {
        u8"C:\\Дом\\файл.txt", u8"C:\\日本\\名前.txt", u8"C:\\\U0001F600",
        u8"C:\\cafe\u0301", u8"C:\\\u0101.txt", u8"C:\\a.txt", ""};
    const std::vector<std::u16string> expected = {
        u"C:\\Дом\\файл.txt", u"C:\\日本\\名前.txt", u"C:\\\U0001F600",
        u"C:\\cafe\u0301", u"C:\\\u0101.txt", u"C:\\a.txt", u""};
    std::vector<uint8_t> body =
        BodyOf(EncodeUnicodeJob(JOB_MODE_COPY, u8"D:\\Цель", sources));
    JOB_BODY_INFO info;
    ASSERT_TRUE(CheckUtf8(body, &info));
    EXPECT_EQ(expected, WalkUtf8(body, info));

    // The target is read with the same walker, from its offset.
    JOB_WCHAR target[16];
    uint32_t cursor = JOB_TARGET_OFFSET;
    ASSERT_TRUE(JobFile_NextSourceUtf8(body.data(), body.size(), &cursor,
                                       target, 16));
    EXPECT_EQ(std::u16string(u"D:\\Цель"), target);
    EXPECT_EQ(info.firstSourceOffset, cursor);
}

TEST(JobFileUnicode, TheWalkerRefusesWhatDoesNotFitAndStaysInStep)
{
    std::vector<uint8_t> body = BodyOf(EncodeUnicodeJob(
        JOB_MODE_COPY, "D:\\", {u8"C:\\日本語", "C:\\b", "C:\\\xE6\x97"}));
    JOB_BODY_INFO info;
    ASSERT_TRUE(JobFile_CheckBodyOfForm(body.data(), body.size(), JOB_TEXT_ANSI,
                                        259, &info));
    JOB_WCHAR path[6];
    uint32_t cursor = info.firstSourceOffset;
    // Six units are needed with the NUL: refused, not cut to "C:\日本".
    EXPECT_FALSE(JobFile_NextSourceUtf8(body.data(), body.size(), &cursor,
                                        path, 6));
    EXPECT_EQ(std::u16string(u""), path);
    // The cursor went on to the next source all the same.
    EXPECT_TRUE(JobFile_NextSourceUtf8(body.data(), body.size(), &cursor, path,
                                       6));
    EXPECT_EQ(std::u16string(u"C:\\b"), path);
    // A cut sequence, which a check of the UTF-8 form would have refused.
    EXPECT_FALSE(JobFile_NextSourceUtf8(body.data(), body.size(), &cursor,
                                        path, 6));
    EXPECT_EQ(std::u16string(u""), path);
    EXPECT_EQ(body.size(), cursor);
    // At the end, and far past it: nothing, and the cursor stays at the end.
    EXPECT_FALSE(JobFile_NextSourceUtf8(body.data(), body.size(), &cursor,
                                        path, 6));
    EXPECT_EQ(body.size(), cursor);
    cursor = 0xFFFFFFF0u;
    EXPECT_FALSE(JobFile_NextSourceUtf8(body.data(), body.size(), &cursor,
                                        path, 6));
    EXPECT_EQ(body.size(), cursor);
}

TEST(JobFileWalker, TakeStringFindsTheStringWithinTheBodyOnly)
{
    const std::vector<uint8_t> body = {'a', 'b', 0, 0, 'c', 'd'};
    size_t start = 99, length = 99;
    uint32_t cursor = 0;
    EXPECT_TRUE(JobFile_TakeString(body.data(), body.size(), &cursor, &start,
                                   &length));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(2u, length);
    EXPECT_EQ(3u, cursor);
    EXPECT_TRUE(JobFile_TakeString(body.data(), body.size(), &cursor, &start,
                                   &length));
    EXPECT_EQ(0u, length);              // an empty string is a string
    EXPECT_EQ(4u, cursor);
    EXPECT_TRUE(JobFile_TakeString(body.data(), body.size(), &cursor, &start,
                                   &length));
    EXPECT_EQ(4u, start);
    EXPECT_EQ(2u, length);              // no NUL: it ends with the body
    EXPECT_EQ(6u, cursor);
    EXPECT_FALSE(JobFile_TakeString(body.data(), body.size(), &cursor, &start,
                                    &length));
    EXPECT_EQ(0u, length);
    EXPECT_EQ(6u, cursor);
    cursor = 0;
    EXPECT_FALSE(JobFile_TakeString(NULL, 0, &cursor, &start, &length));
    EXPECT_EQ(0u, cursor);
}
