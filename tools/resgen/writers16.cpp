// 16-colour (4 bits per pixel) BMP and ICO files, for the installer's menu
// picture and icon.  Their palette is the first 16 colours of the shared
// one; a pixel of another colour is written as the nearest of those.
#include "resgen.h"

static const int c_Colours16 = 16;

static uint8_t Writers16_Nearest(uint8_t index)
{
    if (index < c_Colours16)
        return index;
    const Rgb &want = c_Palette[index < c_PaletteUsed ? (int)index : (int)c_Black];
    int best = c_Black;
    long bestDistance = -1;
    // c_Clear is skipped: it stands for transparency in icons.
    for (int i = 1; i < c_Colours16; i++) {
        long dr = want.red - c_Palette[i].red;
        long dg = want.green - c_Palette[i].green;
        long db = want.blue - c_Palette[i].blue;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return (uint8_t)best;
}

static void Writers16_AppendHeader(std::string *out, int width,
                                   int heightInHeader, uint32_t imageBytes)
{
    Bytes_U32(out, 40);                 // biSize
    Bytes_U32(out, (uint32_t)width);
    Bytes_U32(out, (uint32_t)heightInHeader);
    Bytes_U16(out, 1);                  // biPlanes
    Bytes_U16(out, 4);                  // biBitCount
    Bytes_U32(out, 0);                  // BI_RGB
    Bytes_U32(out, imageBytes);
    Bytes_U32(out, 2835);
    Bytes_U32(out, 2835);
    Bytes_U32(out, c_Colours16);        // biClrUsed
    Bytes_U32(out, 0);
    for (int i = 0; i < c_Colours16; i++) {
        out->push_back((char)c_Palette[i].blue);
        out->push_back((char)c_Palette[i].green);
        out->push_back((char)c_Palette[i].red);
        out->push_back(0);
    }
}

// Rows bottom-up, two pixels a byte, the left one in the high half.
static void Writers16_AppendRows(std::string *out, const Canvas *canvas)
{
    int rowBytes = Dib_RowBytes(canvas->width, 4);
    for (int y = canvas->height - 1; y >= 0; y--) {
        std::string row((size_t)rowBytes, '\0');
        for (int x = 0; x < canvas->width; x++) {
            uint8_t colour = Writers16_Nearest(canvas->pixels[y * c_CanvasMaxWidth + x]);
            row[(size_t)(x / 2)] = (char)(row[(size_t)(x / 2)] |
                                          (x % 2 ? colour : colour << 4));
        }
        out->append(row);
    }
}

bool Bmp_Write16(const std::string &path, const Canvas *canvas)
{
    uint32_t imageBytes = (uint32_t)(Dib_RowBytes(canvas->width, 4) * canvas->height);
    uint32_t bitsOffset = 14 + 40 + c_Colours16 * 4;
    std::string bytes = "BM";
    Bytes_U32(&bytes, bitsOffset + imageBytes);
    Bytes_U32(&bytes, 0);
    Bytes_U32(&bytes, bitsOffset);
    Writers16_AppendHeader(&bytes, canvas->width, canvas->height, imageBytes);
    Writers16_AppendRows(&bytes, canvas);
    return Bytes_Save(path, bytes);
}

// One image; c_Clear pixels are transparent (set in the AND mask).
bool Ico_Write16(const std::string &path, const Canvas *canvas)
{
    std::string image;
    uint32_t imageBytes = (uint32_t)(Dib_RowBytes(canvas->width, 4) * canvas->height);
    Writers16_AppendHeader(&image, canvas->width, canvas->height * 2, imageBytes);
    Writers16_AppendRows(&image, canvas);
    int maskBytes = Dib_RowBytes(canvas->width, 1);
    for (int y = canvas->height - 1; y >= 0; y--) {
        std::string row((size_t)maskBytes, '\0');
        for (int x = 0; x < canvas->width; x++)
            if (canvas->pixels[y * c_CanvasMaxWidth + x] == c_Clear)
                row[(size_t)(x / 8)] = (char)(row[(size_t)(x / 8)] | (0x80 >> (x % 8)));
        image.append(row);
    }

    std::string bytes;
    Bytes_U16(&bytes, 0);               // reserved
    Bytes_U16(&bytes, 1);               // type: icon
    Bytes_U16(&bytes, 1);               // one image
    bytes.push_back((char)canvas->width);
    bytes.push_back((char)canvas->height);
    bytes.push_back((char)c_Colours16);
    bytes.push_back(0);
    Bytes_U16(&bytes, 1);               // planes
    Bytes_U16(&bytes, 4);               // bits per pixel
    Bytes_U32(&bytes, (uint32_t)image.size());
    Bytes_U32(&bytes, 6 + 16);
    return Bytes_Save(path, bytes + image);
}
