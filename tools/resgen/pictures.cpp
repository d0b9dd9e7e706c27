// The still pictures of the copier: the four button bitmaps, the replace
// dialog's picture, the error icon and the program icon.  Button pictures
// sit on the dialog face colour, since a bitmap button shows them as drawn.
#include "resgen.h"

#include <algorithm>

// The back of a folder: the tab and the rear wall, which a sheet can sit
// in front of.
void Pictures_FolderBack(Canvas *canvas, int left, int top, int width, int height)
{
    int tabHeight = std::max(2, height / 5);
    int tabWidth = std::max(3, width * 2 / 5);
    Canvas_FillRect(canvas, left, top, tabWidth, tabHeight + 1, c_FolderShade);
    Canvas_FrameRect(canvas, left, top, tabWidth, tabHeight + 1, c_FolderEdge);
    Canvas_FillRect(canvas, left, top + tabHeight, width, height - tabHeight,
                    c_FolderShade);
    Canvas_FrameRect(canvas, left, top + tabHeight, width, height - tabHeight,
                     c_FolderEdge);
}

// The front flap, drawn last so a sheet inside the folder is half hidden.
void Pictures_FolderFront(Canvas *canvas, int left, int top, int width, int height)
{
    int frontTop = top + std::max(2, height / 5) + std::max(2, height / 5);
    Canvas_FillRect(canvas, left, frontTop, width, top + height - frontTop,
                    c_FolderYellow);
    Canvas_FrameRect(canvas, left, frontTop, width, top + height - frontTop,
                     c_FolderEdge);
    // A light top edge gives the flap some depth.
    Canvas_FillRect(canvas, left + 1, frontTop + 1, width - 2, 1, c_White);
}

void Pictures_Folder(Canvas *canvas, int left, int top, int width, int height)
{
    Pictures_FolderBack(canvas, left, top, width, height);
    Pictures_FolderFront(canvas, left, top, width, height);
}

// Too narrow a sheet (turning edge-on in the clip) is just its edge.
void Pictures_Sheet(Canvas *canvas, int left, int top, int width, int height)
{
    if (width < 4) {
        Canvas_FillRect(canvas, left, top, std::max(width, 1), height, c_Black);
        return;
    }
    Canvas_FillRect(canvas, left, top, width, height, c_White);
    Canvas_FrameRect(canvas, left, top, width, height, c_Black);
    int line = 0;
    for (int y = top + 3; y < top + height - 2; y += 2, line++) {
        // Every third line ends early, like the end of a paragraph.
        int length = (line % 3 == 2) ? (width - 4) / 2 : width - 4;
        Canvas_FillRect(canvas, left + 2, y, length, 1, c_PaperLine);
    }
}

void Pictures_CancelButton(Canvas *canvas)
{
    Canvas_Start(canvas, 53, 15, c_Face);
    const char *caption = "Cancel";
    int crossSize = 11, gap = 4;
    int left = (53 - (crossSize + gap + Font_TextWidth(caption))) / 2;
    double a = left + 1.5, b = left + crossSize - 1.5;
    // Dark rim under a lighter stroke reads as a solid cross on grey.
    Canvas_Line(canvas, a, 3.5, b, 11.5, 3.4, c_DarkRed);
    Canvas_Line(canvas, b, 3.5, a, 11.5, 3.4, c_DarkRed);
    Canvas_Line(canvas, a, 3.5, b, 11.5, 2.0, c_Red);
    Canvas_Line(canvas, b, 3.5, a, 11.5, 2.0, c_Red);
    Font_DrawText(canvas, left + crossSize + gap, 4, caption, c_Black);
}

void Pictures_AboutButton(Canvas *canvas)
{
    Canvas_Start(canvas, 19, 21, c_Face);
    Canvas_FillCircle(canvas, 9.5, 10.5, 9.5, c_DarkBlue);
    Canvas_FillCircle(canvas, 9.5, 10.5, 8.5, c_Blue);
    Canvas_FillCircle(canvas, 9.5, 5.5, 1.7, c_White);     // the dot
    Canvas_FillRect(canvas, 7, 8, 4, 2, c_White);           // stem with serifs
    Canvas_FillRect(canvas, 8, 8, 3, 8, c_White);
    Canvas_FillRect(canvas, 7, 15, 5, 2, c_White);
}

void Pictures_PauseButton(Canvas *canvas)
{
    Canvas_Start(canvas, 42, 13, c_Face);
    const char *caption = "Pause";
    int barWidth = 3, barGap = 2, gap = 3;
    int symbolWidth = 2 * barWidth + barGap;
    int left = (42 - (symbolWidth + gap + Font_TextWidth(caption))) / 2;
    for (int bar = 0; bar < 2; bar++) {
        int x = left + bar * (barWidth + barGap);
        Canvas_FillRect(canvas, x, 2, barWidth, 9, c_Red);
        Canvas_FrameRect(canvas, x, 2, barWidth, 9, c_DarkRed);
    }
    Font_DrawText(canvas, left + symbolWidth + gap, 3, caption, c_Black);
}

void Pictures_ResumeButton(Canvas *canvas)
{
    Canvas_Start(canvas, 53, 13, c_Face);
    const char *caption = "Resume";
    int symbolWidth = 7, gap = 4;
    int left = (53 - (symbolWidth + gap + Font_TextWidth(caption))) / 2;
    double right = left + symbolWidth;
    Canvas_FillTriangle(canvas, left, 2, right, 6.5, left, 11, c_Green);
    Canvas_Line(canvas, left, 2, left, 11, 1, c_DarkGreen);
    Canvas_Line(canvas, left, 2, right, 6.5, 1, c_DarkGreen);
    Canvas_Line(canvas, left, 11, right, 6.5, 1, c_DarkGreen);
    Font_DrawText(canvas, left + symbolWidth + gap, 3, caption, c_Black);
}

// A folder with a document standing in front of it: "this folder already
// contains a file".
void Pictures_ReplaceDialog(Canvas *canvas)
{
    Canvas_Start(canvas, 32, 32, c_Face);
    Pictures_Folder(canvas, 1, 9, 26, 20);
    Canvas_FillRect(canvas, 16, 6, 14, 24, c_Shadow);       // shadow of the sheet
    Pictures_Sheet(canvas, 14, 4, 14, 24);
}

void Pictures_ErrorIcon(Canvas *canvas, int size)
{
    Canvas_Start(canvas, size, size, c_Clear);
    double centre = size / 2.0;
    Canvas_FillCircle(canvas, centre, centre, centre - 0.5, c_DarkRed);
    Canvas_FillCircle(canvas, centre, centre, centre - 1.5, c_Red);
    double arm = size * 0.2, thickness = size / 9.0 + 1.0;
    Canvas_Line(canvas, centre - arm, centre - arm, centre + arm, centre + arm,
                thickness, c_White);
    Canvas_Line(canvas, centre + arm, centre - arm, centre - arm, centre + arm,
                thickness, c_White);
}

// Two folders with a sheet flying from the left one to the right one, the
// same scene as the copy clip.
void Pictures_ProgramIcon(Canvas *canvas, int size)
{
    Canvas_Start(canvas, size, size, c_Clear);
    if (size < 32) {
        Pictures_Folder(canvas, 0, 8, 7, 7);
        Pictures_Folder(canvas, 9, 8, 7, 7);
        Pictures_Sheet(canvas, 5, 0, 6, 8);
        return;
    }
    Pictures_Folder(canvas, 0, 17, 15, 14);
    Pictures_Folder(canvas, 17, 17, 15, 14);
    Pictures_Sheet(canvas, 10, 2, 12, 15);
}
