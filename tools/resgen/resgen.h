// Picture generator for the copier's resources: the canvas record, the
// drawing primitives, the tiny caption font, the file writers and the
// pictures themselves.  Plain C++17, no library beyond the standard one.
#pragma once

#include <cstdint>
#include <string>

// Every picture is drawn into one fixed-size record of palette indices;
// the largest picture is the installer's banner (520 x 81).
const int c_CanvasMaxWidth = 520;
const int c_CanvasMaxHeight = 100;

struct Canvas {
    int width;
    int height;
    uint8_t pixels[c_CanvasMaxWidth * c_CanvasMaxHeight];  // row 0 is the top
};

// The one palette shared by all pictures.  Drawing uses these indices, so
// no colour ever needs matching and every file carries the same palette.
enum PaletteColour : uint8_t {
    c_Clear = 0,        // transparent in icons; black in bitmaps and frames
    c_Black,
    c_White,
    c_Face,             // dialog face, light grey 192,192,192
    c_Shadow,           // dark grey 128,128,128
    c_Light,            // 224,224,224
    c_Red,
    c_DarkRed,
    c_Green,
    c_DarkGreen,
    c_Blue,
    c_DarkBlue,
    c_FolderYellow,
    c_FolderShade,
    c_FolderEdge,
    c_Yellow,
    c_PaperLine,        // the grey "text" lines on a sheet
    c_PaletteUsed       // count of the colours above
};

struct Rgb {
    uint8_t red, green, blue;
};
extern const Rgb c_Palette[c_PaletteUsed];

// canvas.cpp: primitives.  All of them clip to the canvas.
void Canvas_Start(Canvas *canvas, int width, int height, uint8_t colour);
void Canvas_Pixel(Canvas *canvas, int x, int y, uint8_t colour);
void Canvas_FillRect(Canvas *canvas, int left, int top, int width, int height,
                     uint8_t colour);
void Canvas_FrameRect(Canvas *canvas, int left, int top, int width, int height,
                      uint8_t colour);
void Canvas_Line(Canvas *canvas, double x0, double y0, double x1, double y1,
                 double thickness, uint8_t colour);
void Canvas_FillCircle(Canvas *canvas, double centreX, double centreY,
                       double radius, uint8_t colour);
void Canvas_FillTriangle(Canvas *canvas, double x0, double y0, double x1,
                         double y1, double x2, double y2, uint8_t colour);

// font.cpp: a 7-pixel high proportional font for the button captions.
// Returns the width in pixels, or -1 if the text has a letter the font lacks.
int Font_TextWidth(const char *text);
// Draws text with its top left corner at left, top; returns the width drawn.
int Font_DrawText(Canvas *canvas, int left, int top, const char *text,
                  uint8_t colour);

// writers.cpp: little-endian pieces of files, kept in a byte string.
void Bytes_U16(std::string *out, uint32_t value);
void Bytes_U32(std::string *out, uint32_t value);
void Bytes_FourCC(std::string *out, const char *code);
void Bytes_PatchU32(std::string *out, size_t offset, uint32_t value);
bool Bytes_Save(const std::string &path, const std::string &bytes);
// An 8-bit device-independent bitmap: header (heightInHeader lets icons
// declare twice the height), the 256-entry palette, and the rows bottom-up.
int Dib_RowBytes(int width, int bitsPerPixel);
void Dib_AppendHeader(std::string *out, int width, int heightInHeader,
                      uint32_t imageBytes);
void Dib_AppendPalette(std::string *out);
void Dib_AppendRows(std::string *out, const Canvas *canvas);

// writers.cpp: files.  Each returns false (after a message on stderr) on
// any failure.
bool Bmp_Write(const std::string &path, const Canvas *canvas);
// Writes one icon file holding the given images (largest first); c_Clear
// pixels are transparent.
bool Ico_Write(const std::string &path, const Canvas *const *images, int count);

// avi_writer.cpp: an uncompressed 8-bit clip for the animation control.
bool Avi_Write(const std::string &path, const Canvas *frames, int frameCount,
               int microSecondsPerFrame);

// pictures.cpp: the still pictures.
void Pictures_CancelButton(Canvas *canvas);    // 53 x 15
void Pictures_AboutButton(Canvas *canvas);     // 19 x 21
void Pictures_PauseButton(Canvas *canvas);     // 42 x 13
void Pictures_ResumeButton(Canvas *canvas);    // 53 x 13
void Pictures_ReplaceDialog(Canvas *canvas);   // 32 x 32
void Pictures_ErrorIcon(Canvas *canvas, int size);
void Pictures_ProgramIcon(Canvas *canvas, int size);

// clip.cpp: the copy animation.
const int c_ClipFrames = 17;
const int c_ClipWidth = 260;
const int c_ClipHeight = 40;
void Clip_DrawFrame(Canvas *canvas, int frame);

// setup_pictures.cpp: the installer's banner (520 x 81, 8 bits), drop-menu
// picture (159 x 100, 4 bits) and program icon (32 x 32, 4 bits), written
// into `folder` (ending in a slash) as banner.bmp, menu.bmp and setup.ico.
bool SetupPictures_WriteAll(const std::string &folder);

// writers16.cpp: 16-colour files for pictures that the first 16 palette
// colours can show; any other colour is written as its nearest among them.
bool Bmp_Write16(const std::string &path, const Canvas *canvas);
bool Ico_Write16(const std::string &path, const Canvas *canvas);

// Shared scenery of the clip and the icons: a closed folder whose front
// spans left..left+width, top..top+height.  Back and front apart let a
// sheet stand inside the folder.
void Pictures_Folder(Canvas *canvas, int left, int top, int width, int height);
void Pictures_FolderBack(Canvas *canvas, int left, int top, int width, int height);
void Pictures_FolderFront(Canvas *canvas, int left, int top, int width, int height);
// A sheet of paper with lines of text.
void Pictures_Sheet(Canvas *canvas, int left, int top, int width, int height);
