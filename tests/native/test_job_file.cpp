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
