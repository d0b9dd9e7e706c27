// Strict UTF-8 <-> UTF-16 of the job file's Unicode form: every well-formed
// sequence at the edges of its length class decodes, every ill-formed one
// (overlong, surrogate, past U+10FFFF, cut, stray continuation) is refused,
// and nothing is ever replaced or cut.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job_text.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int value : values)
        bytes.push_back((uint8_t)value);
    return bytes;
}

std::vector<uint8_t> Bytes(const char *utf8)
{
    return std::vector<uint8_t>(utf8, utf8 + strlen(utf8));
}

// Decodes the whole of `bytes`; false when the decoder refuses them.
bool Decode(const std::vector<uint8_t> &bytes, std::u16string *text,
            size_t outSize = 1000)
{
    std::vector<JOB_WCHAR> out(outSize, u'#');
    bool ok = JobText_Utf8ToUtf16(bytes.data(), bytes.size(), out.data(),
                                  out.size());
    *text = std::u16string(out.data());
    return ok;
}

// Encodes `text`; the byte count, or -1.
int64_t Encode(const std::u16string &text, std::vector<uint8_t> *bytes)
{
    int64_t size = JobText_Utf16ToUtf8(text.data(), text.size(), NULL, 0);
    if (size < 0)
        return size;
    bytes->assign((size_t)size, 0);
    EXPECT_EQ(size, JobText_Utf16ToUtf8(text.data(), text.size(),
                                        bytes->data(), bytes->size()));
    return size;
}

}  // namespace

TEST(JobTextUtf8, DecodesEachLengthClassAtItsEdges)
{
    struct { std::vector<uint8_t> bytes; uint32_t codePoint; } cases[] = {
        {Bytes({0x41}), 0x41},
        {Bytes({0x7F}), 0x7F},
        {Bytes({0xC2, 0x80}), 0x80},                     // first of two bytes
        {Bytes({0xC3, 0xA9}), 0xE9},                     // é
        {Bytes({0xDF, 0xBF}), 0x7FF},
        {Bytes({0xE0, 0xA0, 0x80}), 0x800},              // first of three
        {Bytes({0xED, 0x9F, 0xBF}), 0xD7FF},             // just below surrogates
        {Bytes({0xEE, 0x80, 0x80}), 0xE000},             // just above them
        {Bytes({0xEF, 0xBF, 0xBF}), 0xFFFF},
        {Bytes({0xF0, 0x90, 0x80, 0x80}), 0x10000},      // first of four
        {Bytes({0xF0, 0x9F, 0x98, 0x80}), 0x1F600},      // 😀
        {Bytes({0xF4, 0x8F, 0xBF, 0xBF}), 0x10FFFF},     // the last code point
    };
    for (const auto &c : cases) {
        uint32_t codePoint = 0;
        EXPECT_EQ((int)c.bytes.size(),
                  JobText_DecodeUtf8(c.bytes.data(), c.bytes.size(), &codePoint))
            << std::hex << c.codePoint;
        EXPECT_EQ(c.codePoint, codePoint);
    }
}

TEST(JobTextUtf8, RefusesEveryIllFormedSequence)
{
    const std::vector<uint8_t> refused[] = {
        // Overlong forms: a shorter sequence exists for each.
        Bytes({0xC0, 0x80}), Bytes({0xC1, 0xBF}), Bytes({0xE0, 0x80, 0x80}),
        Bytes({0xE0, 0x9F, 0xBF}), Bytes({0xF0, 0x80, 0x80, 0x80}),
        Bytes({0xF0, 0x8F, 0xBF, 0xBF}), Bytes({0xC0, 0xAF}),
        // UTF-16 surrogates written as UTF-8 (CESU-8 and lone halves).
        Bytes({0xED, 0xA0, 0x80}), Bytes({0xED, 0xBF, 0xBF}),
        Bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}),
        // Past U+10FFFF, and leads that can never start a sequence.
        Bytes({0xF4, 0x90, 0x80, 0x80}), Bytes({0xF5, 0x80, 0x80, 0x80}),
        Bytes({0xF8, 0x88, 0x80, 0x80, 0x80}), Bytes({0xFE}), Bytes({0xFF}),
        // Cut sequences, at the end and before the next character.
        Bytes({0xC3}), Bytes({0xE6, 0x97}), Bytes({0xF0, 0x9F, 0x98}),
        Bytes({0xC3, 0x41}), Bytes({0xE6, 0x41, 0xA5}),
        Bytes({0xF0, 0x9F, 0x98, 0x41}),
        // Continuation bytes with no lead.
        Bytes({0x80}), Bytes({0xBF}), Bytes({0x41, 0xA9}),
    };
    for (const std::vector<uint8_t> &bytes : refused) {
        std::string shown;
        for (uint8_t b : bytes)
            shown += std::to_string(b) + " ";
        EXPECT_EQ(-1, JobText_Utf16Length(bytes.data(), bytes.size())) << shown;
        std::u16string text;
        EXPECT_FALSE(Decode(bytes, &text)) << shown;
        EXPECT_EQ(u"", text) << shown;
        // Not rescued by good text around it either.
        std::vector<uint8_t> framed = Bytes("C:\\a");
        framed.insert(framed.end(), bytes.begin(), bytes.end());
        framed.push_back('z');
        EXPECT_FALSE(Decode(framed, &text)) << shown;
    }
}

TEST(JobTextUtf8, NamesOutsideEveryCodePageDecodeToTheirOwnUnits)
{
    struct { const char *utf8; std::u16string utf16; } names[] = {
        {u8"C:\\Дом\\файл.txt", u"C:\\Дом\\файл.txt"},
        {u8"D:\\日本語\\名前.txt", u"D:\\日本語\\名前.txt"},
        {u8"E:\\smile \U0001F600.txt", u"E:\\smile \U0001F600.txt"},
        // "e" with a combining acute stays two characters, never composed.
        {u8"C:\\cafe\u0301", u"C:\\cafe\u0301"},
        // The neighbours "ā" and "a" stay apart.
        {u8"C:\\\u0101.txt", u"C:\\\u0101.txt"},
        {u8"C:\\a.txt", u"C:\\a.txt"},
    };
    for (const auto &name : names) {
        std::vector<uint8_t> bytes = Bytes(name.utf8);
        std::u16string text;
        ASSERT_TRUE(Decode(bytes, &text)) << name.utf8;
        EXPECT_EQ(name.utf16, text) << name.utf8;
        EXPECT_EQ((int64_t)name.utf16.size(),
                  JobText_Utf16Length(bytes.data(), bytes.size()));
        std::vector<uint8_t> back;
        ASSERT_EQ((int64_t)bytes.size(), Encode(name.utf16, &back));
        EXPECT_EQ(bytes, back) << name.utf8;
    }
    // The emoji is one surrogate pair: two units from four bytes.
    std::u16string emoji;
    ASSERT_TRUE(Decode(Bytes({0xF0, 0x9F, 0x98, 0x80}), &emoji));
    ASSERT_EQ(2u, emoji.size());
    EXPECT_EQ(0xD83D, emoji[0]);
    EXPECT_EQ(0xDE00, emoji[1]);
}

TEST(JobTextUtf8, APathThatDoesNotFitIsRefusedNotCut)
{
    std::vector<uint8_t> bytes = Bytes(u8"C:\\日本");   // 5 units
    std::u16string text;
    EXPECT_TRUE(Decode(bytes, &text, 6));
    EXPECT_EQ(u"C:\\日本", text);
    EXPECT_FALSE(Decode(bytes, &text, 5));
    EXPECT_EQ(u"", text);
    // A surrogate pair needs room for both halves.
    std::vector<uint8_t> pair = Bytes(u8"a\U0001F600");   // 3 units
    EXPECT_TRUE(Decode(pair, &text, 4));
    EXPECT_FALSE(Decode(pair, &text, 3));
    EXPECT_EQ(u"", text);
    JOB_WCHAR none[1] = {u'#'};
    EXPECT_FALSE(JobText_Utf8ToUtf16(pair.data(), pair.size(), none, 0));
    EXPECT_EQ(u'#', none[0]) << "a buffer of no units was written";
    // An empty text fits any buffer with room for its NUL.
    EXPECT_TRUE(Decode({}, &text, 1));
    EXPECT_EQ(u"", text);
}

TEST(JobTextUtf16, UnpairedSurrogatesCannotBeEncoded)
{
    std::vector<uint8_t> bytes;
    const std::u16string refused[] = {
        std::u16string(1, (char16_t)0xD800),                 // high, at the end
        std::u16string(1, (char16_t)0xDC00),                 // low alone
        u"a" + std::u16string(1, (char16_t)0xD83D) + u"b",   // high, then no low
        std::u16string{(char16_t)0xDE00, (char16_t)0xD83D},  // halves swapped
    };
    for (const std::u16string &text : refused)
        EXPECT_EQ(-1, Encode(text, &bytes)) << text.size();
}

TEST(JobTextUtf16, EncodesEachLengthClassAndMeasuresWithoutWriting)
{
    struct { std::u16string text; std::vector<uint8_t> bytes; } cases[] = {
        {u"A", Bytes({0x41})},
        {u"\u0080", Bytes({0xC2, 0x80})},
        {u"\u07FF", Bytes({0xDF, 0xBF})},
        {u"\u0800", Bytes({0xE0, 0xA0, 0x80})},
        {u"\uFFFF", Bytes({0xEF, 0xBF, 0xBF})},
        {u"\U00010000", Bytes({0xF0, 0x90, 0x80, 0x80})},
        {u"\U0010FFFF", Bytes({0xF4, 0x8F, 0xBF, 0xBF})},
    };
    for (const auto &c : cases) {
        std::vector<uint8_t> bytes;
        EXPECT_EQ((int64_t)c.bytes.size(), Encode(c.text, &bytes));
        EXPECT_EQ(c.bytes, bytes);
    }
    // A short buffer gets what fits and the full size is still told.
    uint8_t small[3] = {0, 0, 0x55};
    const std::u16string text = u"é日";
    EXPECT_EQ(5, JobText_Utf16ToUtf8(text.data(), text.size(), small, 2));
    EXPECT_EQ(0xC3, small[0]);
    EXPECT_EQ(0xA9, small[1]);
    EXPECT_EQ(0x55, small[2]);
    EXPECT_EQ(3u, JobText_Length(u"abc"));
}
