// Drawing primitives of the picture generator: fill, rectangle, line,
// circle and triangle on a canvas of palette indices.  Shapes are tested at
// pixel centres (x + 0.5, y + 0.5), so sizes given in pixels come out exact.
#include "resgen.h"

#include <algorithm>
#include <cmath>
#include <cstring>

const Rgb c_Palette[c_PaletteUsed] = {
    {0, 0, 0},          // c_Clear
    {0, 0, 0},          // c_Black
    {255, 255, 255},    // c_White
    {192, 192, 192},    // c_Face
    {128, 128, 128},    // c_Shadow
    {224, 224, 224},    // c_Light
    {224, 0, 0},        // c_Red
    {128, 0, 0},        // c_DarkRed
    {0, 176, 0},        // c_Green
    {0, 96, 0},         // c_DarkGreen
    {0, 64, 224},       // c_Blue
    {0, 0, 128},        // c_DarkBlue
    {255, 224, 96},     // c_FolderYellow
    {216, 176, 48},     // c_FolderShade
    {128, 96, 0},       // c_FolderEdge
    {255, 255, 0},      // c_Yellow
    {160, 160, 176},    // c_PaperLine
};

void Canvas_Start(Canvas *canvas, int width, int height, uint8_t colour)
{
    canvas->width = std::min(std::max(width, 0), c_CanvasMaxWidth);
    canvas->height = std::min(std::max(height, 0), c_CanvasMaxHeight);
    std::memset(canvas->pixels, colour, sizeof canvas->pixels);
}

void Canvas_Pixel(Canvas *canvas, int x, int y, uint8_t colour)
{
    if (x < 0 || y < 0 || x >= canvas->width || y >= canvas->height)
        return;
    canvas->pixels[y * c_CanvasMaxWidth + x] = colour;
}

void Canvas_FillRect(Canvas *canvas, int left, int top, int width, int height,
                     uint8_t colour)
{
    for (int y = top; y < top + height; y++)
        for (int x = left; x < left + width; x++)
            Canvas_Pixel(canvas, x, y, colour);
}

// One-pixel outline just inside the given rectangle.
void Canvas_FrameRect(Canvas *canvas, int left, int top, int width, int height,
                      uint8_t colour)
{
    if (width <= 0 || height <= 0)
        return;
    Canvas_FillRect(canvas, left, top, width, 1, colour);
    Canvas_FillRect(canvas, left, top + height - 1, width, 1, colour);
    Canvas_FillRect(canvas, left, top, 1, height, colour);
    Canvas_FillRect(canvas, left + width - 1, top, 1, height, colour);
}

// Distance from a pixel centre to the segment decides; a thickness of 1 or
// less walks the line instead, since a distance test leaves gaps in thin
// diagonals.
void Canvas_Line(Canvas *canvas, double x0, double y0, double x1, double y1,
                 double thickness, uint8_t colour)
{
    if (thickness <= 1.0) {
        int steps = (int)std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)));
        for (int i = 0; i <= steps; i++) {
            double t = steps == 0 ? 0.0 : (double)i / steps;
            Canvas_Pixel(canvas, (int)std::floor(x0 + (x1 - x0) * t),
                         (int)std::floor(y0 + (y1 - y0) * t), colour);
        }
        return;
    }
    double half = thickness / 2.0;
    double dx = x1 - x0, dy = y1 - y0;
    double lengthSquared = dx * dx + dy * dy;
    int left = (int)std::floor(std::min(x0, x1) - half);
    int right = (int)std::ceil(std::max(x0, x1) + half);
    int top = (int)std::floor(std::min(y0, y1) - half);
    int bottom = (int)std::ceil(std::max(y0, y1) + half);
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            double px = x + 0.5 - x0, py = y + 0.5 - y0;
            double t = lengthSquared > 0 ? (px * dx + py * dy) / lengthSquared : 0.0;
            t = std::min(std::max(t, 0.0), 1.0);
            double ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey <= half * half)
                Canvas_Pixel(canvas, x, y, colour);
        }
    }
}

void Canvas_FillCircle(Canvas *canvas, double centreX, double centreY,
                       double radius, uint8_t colour)
{
    int left = (int)std::floor(centreX - radius);
    int right = (int)std::ceil(centreX + radius);
    int top = (int)std::floor(centreY - radius);
    int bottom = (int)std::ceil(centreY + radius);
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            double dx = x + 0.5 - centreX, dy = y + 0.5 - centreY;
            if (dx * dx + dy * dy <= radius * radius)
                Canvas_Pixel(canvas, x, y, colour);
        }
    }
}

// Which side of the edge a->b the point p lies on.
static double Canvas_EdgeSide(double ax, double ay, double bx, double by,
                              double px, double py)
{
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

void Canvas_FillTriangle(Canvas *canvas, double x0, double y0, double x1,
                         double y1, double x2, double y2, uint8_t colour)
{
    int left = (int)std::floor(std::min({x0, x1, x2}));
    int right = (int)std::ceil(std::max({x0, x1, x2}));
    int top = (int)std::floor(std::min({y0, y1, y2}));
    int bottom = (int)std::ceil(std::max({y0, y1, y2}));
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            double px = x + 0.5, py = y + 0.5;
            double a = Canvas_EdgeSide(x0, y0, x1, y1, px, py);
            double b = Canvas_EdgeSide(x1, y1, x2, y2, px, py);
            double c = Canvas_EdgeSide(x2, y2, x0, y0, px, py);
            // Either winding order counts as inside.
            if ((a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0))
                Canvas_Pixel(canvas, x, y, colour);
        }
    }
}
