// The picture generator: the clip file has the layout the animation control
// needs, bitmaps and icons come out at their exact sizes with transparency
// where it belongs, and drawing never spills past a canvas's edges.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../../tools/resgen/resgen.h"
#include "native_files.h"

static Canvas g_TestCanvas;
static Canvas g_TestFrames[c_ClipFrames];

static std::string Tag(const std::string &bytes, size_t offset)
{
    return bytes.substr(offset, 4);
}

struct RiffChunk {
    std::string tag;        // chunk id, or the list type for RIFF/LIST
    size_t header;          // offset of the chunk id
    uint32_t size;
};

// Walks the chunks inside [begin, end), descending into lists; fails the
// test if a chunk runs past its parent.
static void WalkRiff(const std::string &bytes, size_t begin, size_t end,
                     std::vector<RiffChunk> *chunks)
{
    size_t offset = begin;
    while (offset + 8 <= end) {
        std::string id = Tag(bytes, offset);
        uint32_t size = Native_U32(bytes, offset + 4);
        ASSERT_LE(offset + 8 + size, end) << "chunk " << id << " overruns its parent";
        if (id == "LIST" || id == "RIFF") {
            chunks->push_back({Tag(bytes, offset + 8), offset, size});
            WalkRiff(bytes, offset + 12, offset + 8 + size, chunks);
        } else {
            chunks->push_back({id, offset, size});
        }
        offset += 8 + size + (size & 1);
    }
    EXPECT_EQ(offset, end) << "stray bytes at the end of a list";
}

static const RiffChunk *FindChunk(const std::vector<RiffChunk> &chunks, const char *tag)
{
    for (const RiffChunk &chunk : chunks)
        if (chunk.tag == tag)
            return &chunk;
    return nullptr;
}

TEST(ResgenClip, HasTheLayoutTheAnimationControlNeeds)
{
    for (int frame = 0; frame < c_ClipFrames; frame++)
        Clip_DrawFrame(&g_TestFrames[frame], frame);
    std::string path = Native_TempPath("copy.avi");
    ASSERT_TRUE(Avi_Write(path, g_TestFrames, c_ClipFrames, 100000));
    std::string avi = Native_ReadFile(path);
    std::remove(path.c_str());

    ASSERT_GT(avi.size(), 12u);
    EXPECT_EQ("RIFF", Tag(avi, 0));
    EXPECT_EQ("AVI ", Tag(avi, 8));
    EXPECT_EQ(avi.size() - 8, Native_U32(avi, 4));
    std::vector<RiffChunk> chunks;
    WalkRiff(avi, 12, avi.size(), &chunks);

    const RiffChunk *mainHeader = FindChunk(chunks, "avih");
    ASSERT_NE(nullptr, mainHeader);
    size_t h = mainHeader->header + 8;
    EXPECT_EQ(100000u, Native_U32(avi, h));                // 100 ms a frame
    EXPECT_NE(0u, Native_U32(avi, h + 12) & 0x10);         // AVIF_HASINDEX
    EXPECT_EQ(17u, Native_U32(avi, h + 16));
    EXPECT_EQ(1u, Native_U32(avi, h + 24));                // one stream
    EXPECT_EQ(260u, Native_U32(avi, h + 32));
    EXPECT_EQ(40u, Native_U32(avi, h + 36));

    const RiffChunk *streamHeader = FindChunk(chunks, "strh");
    ASSERT_NE(nullptr, streamHeader);
    EXPECT_EQ("vids", Tag(avi, streamHeader->header + 8));
    EXPECT_EQ("DIB ", Tag(avi, streamHeader->header + 12));
    EXPECT_EQ(17u, Native_U32(avi, streamHeader->header + 8 + 32));

    const RiffChunk *format = FindChunk(chunks, "strf");
    ASSERT_NE(nullptr, format);
    size_t f = format->header + 8;
    EXPECT_EQ(260u, Native_U32(avi, f + 4));
    EXPECT_EQ(40u, Native_U32(avi, f + 8));
    EXPECT_EQ(8u, Native_U16(avi, f + 14));                // 8 bits a pixel
    EXPECT_EQ(0u, Native_U32(avi, f + 16));                // BI_RGB
    EXPECT_EQ(40u + 256u * 4u, format->size);       // header and full palette

    // Frames: 17 key frames in 'movi', each indexed by an offset that
    // counts from the 'movi' tag.
    const RiffChunk *movie = FindChunk(chunks, "movi");
    const RiffChunk *index = FindChunk(chunks, "idx1");
    ASSERT_NE(nullptr, movie);
    ASSERT_NE(nullptr, index);
    size_t movieTag = movie->header + 8;
    std::vector<size_t> frameData;
    for (const RiffChunk &chunk : chunks)
        if (chunk.tag == "00db") {
            EXPECT_EQ(260u * 40u, chunk.size);
            frameData.push_back(chunk.header + 8);
        }
    ASSERT_EQ(17u, frameData.size());
    ASSERT_EQ(17u * 16u, index->size);
    for (size_t i = 0; i < 17; i++) {
        size_t entry = index->header + 8 + 16 * i;
        EXPECT_EQ("00db", Tag(avi, entry));
        EXPECT_NE(0u, Native_U32(avi, entry + 4) & 0x10) << "frame " << i << " not a key frame";
        size_t target = movieTag + Native_U32(avi, entry + 8);
        EXPECT_EQ(frameData[i] - 8, target) << "index entry " << i;
        EXPECT_EQ(260u * 40u, Native_U32(avi, entry + 12));
    }

    // The control keys transparency on the top left pixel (the last stored
    // row, as DIB rows run bottom-up): it must be the dialog face grey in
    // every frame.  And the sheet moves: no two neighbouring frames match.
    for (size_t i = 0; i < 17; i++) {
        uint8_t topLeft = (uint8_t)avi[frameData[i] + 39 * 260];
        EXPECT_EQ(c_Face, topLeft) << "frame " << i;
        if (i > 0) {
            EXPECT_NE(0, std::memcmp(&avi[frameData[i - 1]], &avi[frameData[i]], 260 * 40))
                << "frames " << i - 1 << " and " << i << " are alike";
        }
    }
    uint8_t faceBlue = (uint8_t)avi[f + 40 + 4 * c_Face];
    EXPECT_EQ(192, faceBlue);
}

TEST(ResgenPictures, ButtonBitmapsHaveTheirExactSizesAndCaptionsFit)
{
    struct Case {
        void (*draw)(Canvas *);
        int width, height;
        const char *caption;
    } cases[] = {
        {Pictures_CancelButton, 53, 15, "Cancel"},
        {Pictures_AboutButton, 19, 21, nullptr},
        {Pictures_PauseButton, 42, 13, "Pause"},
        {Pictures_ResumeButton, 53, 13, "Resume"},
        {Pictures_ReplaceDialog, 32, 32, nullptr},
    };
    std::string path = Native_TempPath("picture.bmp");
    for (const Case &c : cases) {
        c.draw(&g_TestCanvas);
        ASSERT_TRUE(Bmp_Write(path, &g_TestCanvas));
        std::string bmp = Native_ReadFile(path);
        ASSERT_GE(bmp.size(), 54u);
        EXPECT_EQ("BM", bmp.substr(0, 2));
        EXPECT_EQ(bmp.size(), Native_U32(bmp, 2));
        EXPECT_EQ((uint32_t)c.width, Native_U32(bmp, 18));
        EXPECT_EQ((uint32_t)c.height, Native_U32(bmp, 22));
        EXPECT_EQ(8u, Native_U16(bmp, 28));
        uint32_t rowBytes = ((uint32_t)c.width + 3) / 4 * 4;
        EXPECT_EQ(Native_U32(bmp, 10) + rowBytes * (uint32_t)c.height, bmp.size());
        if (c.caption) {
            int width = Font_TextWidth(c.caption);
            EXPECT_GT(width, 0) << c.caption << " has a letter the font lacks";
            EXPECT_LT(width, c.width - 10) << c.caption << " leaves no room for its symbol";
        }
    }
    std::remove(path.c_str());
}

TEST(ResgenPictures, IconsAreTransparentOutsideTheirShape)
{
    Canvas large, small;
    Pictures_ErrorIcon(&large, 32);
    Pictures_ErrorIcon(&small, 16);
    const Canvas *images[2] = {&large, &small};
    std::string path = Native_TempPath("error.ico");
    ASSERT_TRUE(Ico_Write(path, images, 2));
    std::string ico = Native_ReadFile(path);
    std::remove(path.c_str());

    ASSERT_GE(ico.size(), 6u + 32u);
    EXPECT_EQ(0u, Native_U16(ico, 0));
    EXPECT_EQ(1u, Native_U16(ico, 2));                     // an icon, not a cursor
    ASSERT_EQ(2u, Native_U16(ico, 4));
    int sizes[2] = {32, 16};
    for (int i = 0; i < 2; i++) {
        size_t entry = 6 + 16 * (size_t)i;
        int size = sizes[i];
        EXPECT_EQ(size, (uint8_t)ico[entry]);
        EXPECT_EQ(size, (uint8_t)ico[entry + 1]);
        uint32_t bytes = Native_U32(ico, entry + 8), offset = Native_U32(ico, entry + 12);
        ASSERT_LE(offset + bytes, ico.size());
        EXPECT_EQ((uint32_t)size, Native_U32(ico, offset + 4));
        EXPECT_EQ((uint32_t)size * 2, Native_U32(ico, offset + 8));   // colour and mask
        size_t maskRow = (size_t)((size + 31) / 32 * 4);
        size_t colourBytes = (size_t)size * (size_t)size;      // 16 and 32 need no padding
        ASSERT_EQ(40u + 1024u + colourBytes + maskRow * (size_t)size, bytes);
        size_t mask = offset + 40 + 1024 + colourBytes;
        // Rows are bottom-up: the last mask row is the top of the picture.
        auto transparent = [&](int x, int y) {
            uint8_t byte = (uint8_t)ico[mask + maskRow * (size_t)(size - 1 - y) + (size_t)(x / 8)];
            return (byte & (0x80 >> (x % 8))) != 0;
        };
        EXPECT_TRUE(transparent(0, 0));
        EXPECT_TRUE(transparent(size - 1, size - 1));
        EXPECT_FALSE(transparent(size / 2, size / 2));
        EXPECT_FALSE(transparent(size / 2, 1));
    }
}

TEST(ResgenCanvas, DrawingStopsAtTheEdges)
{
    // The canvas stores rows c_CanvasMaxWidth apart: a shape that is not
    // clipped at the right edge would show up at the start of the next row
    // or beyond the last one.
    Canvas_Start(&g_TestCanvas, 10, 8, c_Face);
    Canvas_FillRect(&g_TestCanvas, -5, -5, 100, 100, c_Red);
    Canvas_FillCircle(&g_TestCanvas, 9, 7, 20, c_Blue);
    Canvas_Line(&g_TestCanvas, -10, -10, 40, 30, 3, c_Green);
    Canvas_Line(&g_TestCanvas, -10, 4, 40, 4, 1, c_Black);
    Canvas_FillTriangle(&g_TestCanvas, -20, -20, 50, 0, 0, 50, c_Yellow);
    Font_DrawText(&g_TestCanvas, 6, 3, "Cancel", c_White);
    for (int y = 0; y < c_CanvasMaxHeight; y++)
        for (int x = 0; x < c_CanvasMaxWidth; x++)
            if (x >= 10 || y >= 8) {
                ASSERT_EQ(c_Face, g_TestCanvas.pixels[y * c_CanvasMaxWidth + x])
                    << "pixel " << x << "," << y << " outside the 10 x 8 canvas";
            }
}

TEST(ResgenFont, WidthMatchesWhatIsDrawnAndUnknownLettersAreRefused)
{
    Canvas_Start(&g_TestCanvas, 60, 10, c_Face);
    int drawn = Font_DrawText(&g_TestCanvas, 2, 1, "Resume", c_Black);
    EXPECT_EQ(Font_TextWidth("Resume"), drawn);
    // The last inked column lies within the reported width.
    int lastInk = -1;
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 60; x++)
            if (g_TestCanvas.pixels[y * c_CanvasMaxWidth + x] == c_Black && x > lastInk)
                lastInk = x;
    EXPECT_EQ(2 + drawn - 1, lastInk);
    EXPECT_EQ(-1, Font_TextWidth("Cancel?"));
}
