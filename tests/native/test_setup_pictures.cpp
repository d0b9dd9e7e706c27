// The installer's pictures come out at their sizes and colour depths: the
// 256-colour banner, and the 16-colour menu picture and icon, whose pixels
// read back from the packed rows where they were drawn.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../../tools/resgen/resgen.h"
#include "native_files.h"

// Palette index of pixel x, y (y from the top) of a 4-bit DIB whose rows
// start at `bits`.
static int SetupPictures_Pixel4(const std::string &bytes, size_t bits, int width,
                                int height, int x, int y)
{
    size_t rowBytes = (size_t)((width * 4 + 31) / 32 * 4);
    uint8_t pair = (uint8_t)bytes.at(bits + rowBytes * (size_t)(height - 1 - y) + (size_t)(x / 2));
    return x % 2 ? pair & 0x0F : pair >> 4;
}

TEST(SetupPictures, SizesDepthsAndPixels)
{
    std::string folder = ::testing::TempDir();
    ASSERT_TRUE(SetupPictures_WriteAll(folder));

    std::string banner = Native_ReadFile(folder + "banner.bmp");
    ASSERT_GE(banner.size(), 54u);
    EXPECT_EQ(520u, Native_U32(banner, 18));
    EXPECT_EQ(81u, Native_U32(banner, 22));
    EXPECT_EQ(8u, (uint8_t)banner[28]);

    std::string menu = Native_ReadFile(folder + "menu.bmp");
    ASSERT_GE(menu.size(), 54u);
    EXPECT_EQ(menu.size(), Native_U32(menu, 2));
    EXPECT_EQ(159u, Native_U32(menu, 18));
    EXPECT_EQ(100u, Native_U32(menu, 22));
    EXPECT_EQ(4u, (uint8_t)menu[28]);
    EXPECT_EQ(16u, Native_U32(menu, 46));
    size_t bits = Native_U32(menu, 10);
    ASSERT_EQ(bits + 80u * 100u, menu.size());
    EXPECT_EQ(c_Face, SetupPictures_Pixel4(menu, bits, 159, 100, 0, 0));
    EXPECT_EQ(c_White, SetupPictures_Pixel4(menu, bits, 159, 100, 1, 1));
    EXPECT_EQ(c_DarkBlue, SetupPictures_Pixel4(menu, bits, 159, 100, 5, 5));   // the copy command, pointed at
    EXPECT_EQ(c_Black, SetupPictures_Pixel4(menu, bits, 159, 100, 158, 99));

    std::string icon = Native_ReadFile(folder + "setup.ico");
    ASSERT_GE(icon.size(), 22u + 40u);
    EXPECT_EQ(1u, (uint8_t)icon[4]);                    // one image
    EXPECT_EQ(32u, (uint8_t)icon[6]);
    EXPECT_EQ(32u, (uint8_t)icon[7]);
    EXPECT_EQ(16u, (uint8_t)icon[8]);                   // colours
    size_t image = Native_U32(icon, 18);
    ASSERT_EQ(icon.size(), image + Native_U32(icon, 14));
    EXPECT_EQ(64u, Native_U32(icon, image + 8)); // colour and mask
    EXPECT_EQ(4u, (uint8_t)icon[image + 14]);
    // The top left corner is transparent; the arrow's middle is not.
    size_t mask = image + 40 + 16 * 4 + 16 * 32;
    auto transparent = [&](int x, int y) {
        return ((uint8_t)icon.at(mask + 4 * (size_t)(31 - y) + (size_t)(x / 8)) &
                (0x80 >> (x % 8))) != 0;
    };
    EXPECT_TRUE(transparent(0, 0));
    EXPECT_FALSE(transparent(16, 5));
    EXPECT_EQ(c_Green, SetupPictures_Pixel4(icon, image + 40 + 16 * 4, 32, 32, 16, 5));

    for (const char *name : {"banner.bmp", "menu.bmp", "setup.ico"})
        std::remove((folder + name).c_str());
}
