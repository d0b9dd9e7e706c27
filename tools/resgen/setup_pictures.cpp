// The installer's pictures: the banner across the top of the setup window,
// the picture of the shell's drop menu with the copy command added, and the
// installer's program icon.
#include "resgen.h"

#include <cmath>
#include <cstring>

static Canvas g_SetupPicture;
static Canvas g_SetupLetters;

// Text drawn `scale` times its size: each pixel of the font becomes a
// square block.
static void SetupPictures_BigText(Canvas *canvas, int left, int top, int scale,
                                  const char *text, uint8_t colour)
{
    Canvas_Start(&g_SetupLetters, c_CanvasMaxWidth, 7, c_Clear);
    int width = Font_DrawText(&g_SetupLetters, 0, 0, text, c_Black);
    for (int y = 0; y < 7; y++)
        for (int x = 0; x < width; x++)
            if (g_SetupLetters.pixels[y * c_CanvasMaxWidth + x] == c_Black)
                Canvas_FillRect(canvas, left + x * scale, top + y * scale, scale,
                                scale, colour);
}

// Two folders at the edges, sheets flying in an arc from the left one to
// the right one, and the product name in blue capitals underneath.
static void SetupPictures_Banner(Canvas *canvas)
{
    const int width = 520, height = 81;
    Canvas_Start(canvas, width, height, c_White);
    Canvas_FillRect(canvas, 0, height - 1, width, 1, c_Shadow);
    Pictures_Folder(canvas, 8, 6, 64, 46);
    Pictures_Folder(canvas, width - 72, 6, 64, 46);

    const int sheets = 7, sheetWidth = 14, sheetHeight = 18;
    const double pi = 3.14159265358979;
    for (int i = 0; i < sheets; i++) {
        double t = (i + 0.5) / sheets;
        int left = (int)(80 + t * (width - 160 - sheetWidth));
        int middle = (int)(30 - 24 * std::sin(pi * t));
        Canvas_FillRect(canvas, left + 2, middle - sheetHeight / 2 + 2,
                        sheetWidth, sheetHeight, c_Light);
        Pictures_Sheet(canvas, left, middle - sheetHeight / 2, sheetWidth,
                       sheetHeight);
    }

    const char *name = "TESSARY COPY";
    const int scale = 3;
    int left = (width - Font_TextWidth(name) * scale) / 2;
    SetupPictures_BigText(canvas, left + 2, 56 + 2, scale, name, c_DarkBlue);
    SetupPictures_BigText(canvas, left, 56, scale, name, c_Blue);
}

// Menu text with its access key underlined; `bold` sets every letter twice,
// one column apart, as the menu shows its default command.
static void SetupPictures_MenuText(Canvas *canvas, int left, int top,
                                   const char *text, int accessKey, bool bold,
                                   uint8_t colour)
{
    int x = left;
    for (int i = 0; text[i]; i++) {
        char letter[2] = {text[i], 0};
        int letterWidth = Font_TextWidth(letter);
        if (i > 0)
            x += 1;
        Font_DrawText(canvas, x, top, letter, colour);
        if (bold)
            Font_DrawText(canvas, x + 1, top, letter, colour);
        if (i == accessKey)
            Canvas_FillRect(canvas, x, top + 8, letterWidth + (bold ? 1 : 0), 1,
                            colour);
        x += letterWidth + (bold ? 1 : 0);
    }
}

// The shell's drop menu after a right-drag with the drop handler
// installed: its copy command on top (pointed at), then the shell's own
// commands, copy in bold as the default.
static void SetupPictures_Menu(Canvas *canvas)
{
    const int width = 159, height = 100, rowHeight = 17, textLeft = 18;
    Canvas_Start(canvas, width, height, c_Face);
    Canvas_FillRect(canvas, 1, 1, width - 2, 1, c_White);
    Canvas_FillRect(canvas, 1, 1, 1, height - 2, c_White);
    Canvas_FillRect(canvas, 0, height - 1, width, 1, c_Black);
    Canvas_FillRect(canvas, width - 1, 0, 1, height, c_Black);
    Canvas_FillRect(canvas, 1, height - 2, width - 2, 1, c_Shadow);
    Canvas_FillRect(canvas, width - 2, 1, 1, height - 2, c_Shadow);

    struct Item {
        const char *text;
        int accessKey;
        bool bold;
    };
    static const Item c_Items[] = {
        {"Tessary Copy Here", 0, false},
        {"Move Here", 0, false},
        {"Copy Here", 0, true},
        {"Create Shortcut(s) Here", 7, false},
    };
    int top = 3;
    for (int i = 0; i < 4; i++, top += rowHeight) {
        uint8_t colour = c_Black;
        if (i == 0) {
            Canvas_FillRect(canvas, 3, top, width - 6, rowHeight, c_DarkBlue);
            colour = c_White;
        }
        SetupPictures_MenuText(canvas, textLeft, top + 5, c_Items[i].text,
                               c_Items[i].accessKey, c_Items[i].bold, colour);
    }
    Canvas_FillRect(canvas, 3, top + 3, width - 6, 1, c_Shadow);
    Canvas_FillRect(canvas, 3, top + 4, width - 6, 1, c_White);
    top += 8;
    SetupPictures_MenuText(canvas, textLeft, top + 5, "Cancel", -1, false, c_Black);
}

// An arrow going down into an open folder: "put into place".
static void SetupPictures_Icon(Canvas *canvas)
{
    Canvas_Start(canvas, 32, 32, c_Clear);
    Pictures_FolderBack(canvas, 1, 13, 30, 18);
    Canvas_FillTriangle(canvas, 6.5, 11, 25.5, 11, 16, 22, c_DarkGreen);
    Canvas_FillRect(canvas, 11, 0, 10, 12, c_DarkGreen);
    Canvas_FillTriangle(canvas, 8.5, 12, 23.5, 12, 16, 20.5, c_Green);
    Canvas_FillRect(canvas, 12, 1, 8, 12, c_Green);
    Pictures_FolderFront(canvas, 1, 13, 30, 18);
}

bool SetupPictures_WriteAll(const std::string &folder)
{
    bool written = true;
    SetupPictures_Banner(&g_SetupPicture);
    written &= Bmp_Write(folder + "banner.bmp", &g_SetupPicture);
    SetupPictures_Menu(&g_SetupPicture);
    written &= Bmp_Write16(folder + "menu.bmp", &g_SetupPicture);
    SetupPictures_Icon(&g_SetupPicture);
    written &= Ico_Write16(folder + "setup.ico", &g_SetupPicture);
    return written;
}
