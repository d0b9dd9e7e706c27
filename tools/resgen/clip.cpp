// Frames of the copy clip: a sheet of paper rises out of the left folder,
// flies in an arc, turning a little, and drops into the right folder.
// The background is the dialog face colour: the control is transparent and
// takes the top left pixel's colour as the one to leave out.
#include "resgen.h"

#include <cmath>

const int c_FolderWidth = 40;
const int c_FolderHeight = 26;
const int c_FolderTop = c_ClipHeight - c_FolderHeight - 1;
const int c_LeftFolder = 14;
const int c_RightFolder = c_ClipWidth - c_LeftFolder - c_FolderWidth;
const int c_SheetWidth = 14;
const int c_SheetHeight = 17;
const int c_ArcHeight = 14;     // how far the sheet's centre rises above its start

void Clip_DrawFrame(Canvas *canvas, int frame)
{
    const double pi = 3.14159265358979323846;
    Canvas_Start(canvas, c_ClipWidth, c_ClipHeight, c_Face);
    Pictures_FolderBack(canvas, c_LeftFolder, c_FolderTop, c_FolderWidth, c_FolderHeight);
    Pictures_FolderBack(canvas, c_RightFolder, c_FolderTop, c_FolderWidth, c_FolderHeight);

    // t runs from 0 (in the left folder) to 1 (in the right one).
    double t = (double)frame / (c_ClipFrames - 1);
    double startX = c_LeftFolder + c_FolderWidth / 2.0;
    double endX = c_RightFolder + c_FolderWidth / 2.0;
    double centreX = startX + (endX - startX) * t;
    double startY = c_FolderTop + c_SheetHeight / 2.0 + 3;
    double centreY = startY - c_ArcHeight * std::sin(pi * t);
    // The sheet turns about its upright axis as it flies, narrowest at the
    // top of the arc; never edge-on, so it stays a sheet in every frame.
    int width = (int)std::lround(c_SheetWidth * (0.45 + 0.55 * std::fabs(std::cos(pi * t))));
    Pictures_Sheet(canvas, (int)std::lround(centreX - width / 2.0),
                   (int)std::lround(centreY - c_SheetHeight / 2.0), width,
                   c_SheetHeight);

    Pictures_FolderFront(canvas, c_LeftFolder, c_FolderTop, c_FolderWidth, c_FolderHeight);
    Pictures_FolderFront(canvas, c_RightFolder, c_FolderTop, c_FolderWidth, c_FolderHeight);
}
