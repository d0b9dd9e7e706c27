// A USB stick's FAT32 file system (an image mounted with fusefat under a
// drive letter of its own): it keeps last-write times in 2-second steps,
// so a copier that wants the exact time would ask about every file again.
// A rerun onto the stick asks nothing, and a copy cut short there is
// continued without a question.
#include "test_engine_common.h"

#include "dialog_answers.h"
#include "drive_letters.h"
#include "resource_ids.h"

namespace {

const DWORD JOB_TIMEOUT_MS = 90000;

// A source time with a fraction of a second, as NTFS keeps them.
FILETIME Fat_SourceTime(unsigned seed)
{
    FILETIME time = Files_SeedTime(seed);
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart += 13700001;      // 1.37 s and a bit
    time.dwLowDateTime = value.LowPart;
    time.dwHighDateTime = value.HighPart;
    return time;
}

class FatDrive : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        std::string why;
        stick = Driver_MakeFatDrive(&fat, 'U', work, 64, &why);
        if (stick.empty())
            GTEST_SKIP() << why;
    }

    // Runs job `number` to its end and returns what it asked.
    DRIVER_ANSWERS Run(int number, const std::vector<std::string> &sources)
    {
        Driver_WriteJob(temp, number, JOB_MODE_COPY, stick, sources);
        DRIVER_COPIER copier = {};
        DRIVER_ANSWERS answers;
        answers.replaceButton = IDC_REPLACE_NO;
        EXPECT_TRUE(Driver_StartCopier(temp, std::to_string(number), &copier));
        EXPECT_TRUE(Driver_AnswerUntilExit(&copier, &answers, JOB_TIMEOUT_MS));
        return answers;
    }

    DRIVER_FAT_DRIVE fat;
    std::string stick;    // "U:\"
};

TEST_F(FatDrive, RerunOntoTheStickAsksNothing)
{
    std::vector<std::string> sources, bytes;
    for (unsigned i = 0; i < 4; i++) {
        std::string path = Files_Join(src, "f" + std::to_string(i) + ".bin");
        bytes.push_back(Files_Pattern(3000 + 900000 * i, i + 1));
        Files_MakeFile(path, bytes.back(), Fat_SourceTime(i + 1));
        sources.push_back(path);
    }
    DRIVER_ANSWERS first = Run(210, sources);
    EXPECT_TRUE(first.questions.empty());
    DRIVER_ANSWERS again = Run(211, sources);
    EXPECT_TRUE(again.questions.empty()) << again.questions.size()
                                         << " complete files were asked about";
    EXPECT_TRUE(again.errors.empty());
    for (unsigned i = 0; i < 4; i++)
        EXPECT_TRUE(Files_HasBytes(
            Files_Join(stick, "f" + std::to_string(i) + ".bin"), bytes[i]));
}

TEST_F(FatDrive, CopyCutShortOnTheStickIsContinuedWithoutAQuestion)
{
    std::string source = Files_Join(src, "big.bin");
    std::string bytes = Files_Pattern(3500000, 5);
    Files_MakeFile(source, bytes, Fat_SourceTime(5));
    // As a killed copy leaves it: its first part, with the source's time
    // as the stick keeps it.
    std::string cut = Files_Join(stick, "big.bin");
    Files_MakeFile(cut, bytes.substr(0, 1300000), Fat_SourceTime(5));

    DRIVER_ANSWERS answers = Run(212, {source});

    EXPECT_TRUE(answers.questions.empty());
    EXPECT_TRUE(Files_HasBytes(cut, bytes));
}

}  // namespace
