// File writers of the picture generator: 8-bit BMP files for LoadBitmap and
// ICO files for the icon resources, with the byte helpers they share with
// the clip writer.  All values are little-endian, as Windows reads them.
#include "resgen.h"

#include <cstdio>

void Bytes_U16(std::string *out, uint32_t value)
{
    out->push_back((char)(value & 0xFF));
    out->push_back((char)((value >> 8) & 0xFF));
}

void Bytes_U32(std::string *out, uint32_t value)
{
    Bytes_U16(out, value & 0xFFFF);
    Bytes_U16(out, value >> 16);
}

void Bytes_FourCC(std::string *out, const char *code)
{
    out->append(code, 4);
}

void Bytes_PatchU32(std::string *out, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        (*out)[offset + i] = (char)((value >> (8 * i)) & 0xFF);
}

bool Bytes_Save(const std::string &path, const std::string &bytes)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // A failed close can lose buffered bytes: it counts as a failed write.
    if (std::fclose(file) != 0)
        written = false;
    if (!written)
        std::fprintf(stderr, "resgen: cannot write %s\n", path.c_str());
    return written;
}

// Rows of a DIB are padded to whole 32-bit words.
int Dib_RowBytes(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

void Dib_AppendHeader(std::string *out, int width, int heightInHeader,
                      uint32_t imageBytes)
{
    Bytes_U32(out, 40);                 // biSize
    Bytes_U32(out, (uint32_t)width);
    Bytes_U32(out, (uint32_t)heightInHeader);
    Bytes_U16(out, 1);                  // biPlanes
    Bytes_U16(out, 8);                  // biBitCount
    Bytes_U32(out, 0);                  // biCompression: BI_RGB
    Bytes_U32(out, imageBytes);
    Bytes_U32(out, 2835);               // 72 dpi, as paint programs write
    Bytes_U32(out, 2835);
    Bytes_U32(out, 256);                // biClrUsed
    Bytes_U32(out, 0);                  // biClrImportant
}

// Always 256 entries: readers of the Windows 95 era expect a full table
// for 8-bit pictures.  Unused entries are black.
void Dib_AppendPalette(std::string *out)
{
    for (int i = 0; i < 256; i++) {
        Rgb colour = i < c_PaletteUsed ? c_Palette[i] : Rgb{0, 0, 0};
        out->push_back((char)colour.blue);
        out->push_back((char)colour.green);
        out->push_back((char)colour.red);
        out->push_back(0);
    }
}

void Dib_AppendRows(std::string *out, const Canvas *canvas)
{
    int padding = Dib_RowBytes(canvas->width, 8) - canvas->width;
    for (int y = canvas->height - 1; y >= 0; y--) {
        out->append((const char *)&canvas->pixels[y * c_CanvasMaxWidth],
                    (size_t)canvas->width);
        out->append((size_t)padding, '\0');
    }
}

bool Bmp_Write(const std::string &path, const Canvas *canvas)
{
    uint32_t imageBytes = (uint32_t)(Dib_RowBytes(canvas->width, 8) * canvas->height);
    uint32_t bitsOffset = 14 + 40 + 256 * 4;
    std::string bytes;
    bytes += "BM";
    Bytes_U32(&bytes, bitsOffset + imageBytes);
    Bytes_U32(&bytes, 0);               // reserved
    Bytes_U32(&bytes, bitsOffset);
    Dib_AppendHeader(&bytes, canvas->width, canvas->height, imageBytes);
    Dib_AppendPalette(&bytes);
    Dib_AppendRows(&bytes, canvas);
    return Bytes_Save(path, bytes);
}

// The AND mask of an icon: one bit per pixel, set where the picture is
// c_Clear so the screen shows through.
static void Ico_AppendMask(std::string *out, const Canvas *canvas)
{
    int rowBytes = Dib_RowBytes(canvas->width, 1);
    for (int y = canvas->height - 1; y >= 0; y--) {
        std::string row((size_t)rowBytes, '\0');
        for (int x = 0; x < canvas->width; x++)
            if (canvas->pixels[y * c_CanvasMaxWidth + x] == c_Clear)
                row[(size_t)(x / 8)] = (char)(row[(size_t)(x / 8)] | (0x80 >> (x % 8)));
        out->append(row);
    }
}

bool Ico_Write(const std::string &path, const Canvas *const *images, int count)
{
    std::string directory, data;
    Bytes_U16(&directory, 0);           // reserved
    Bytes_U16(&directory, 1);           // type: icon
    Bytes_U16(&directory, (uint32_t)count);
    uint32_t offset = 6 + 16 * (uint32_t)count;
    for (int i = 0; i < count; i++) {
        const Canvas *image = images[i];
        std::string entry;
        uint32_t imageBytes = (uint32_t)(Dib_RowBytes(image->width, 8) * image->height);
        Dib_AppendHeader(&entry, image->width, image->height * 2, imageBytes);
        Dib_AppendPalette(&entry);
        Dib_AppendRows(&entry, image);
        Ico_AppendMask(&entry, image);

        directory.push_back((char)image->width);
        directory.push_back((char)image->height);
        directory.push_back(0);         // colour count: 0 means 256
        directory.push_back(0);         // reserved
        Bytes_U16(&directory, 1);       // planes
        Bytes_U16(&directory, 8);       // bits per pixel
        Bytes_U32(&directory, (uint32_t)entry.size());
        Bytes_U32(&directory, offset);
        offset += (uint32_t)entry.size();
        data += entry;
    }
    return Bytes_Save(path, directory + data);
}
