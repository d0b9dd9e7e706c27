// Tiny bitmap font of the picture generator: 7 rows, proportional, only the
// letters that the button captions, the installer's menu picture and its
// banner need.  To add a letter, add a glyph: seven rows of equal length,
// '#' for ink.  Capitals fill all rows; small letters sit on the bottom
// five.
#include "resgen.h"

#include <cstdio>
#include <cstring>

const int c_GlyphRows = 7;

struct Glyph {
    char letter;
    const char *rows[c_GlyphRows];
};

static const Glyph c_Glyphs[] = {
    {' ', {"..", "..", "..", "..", "..", "..", ".."}},
    {'(', {".#", "#.", "#.", "#.", "#.", "#.", ".#"}},
    {')', {"#.", ".#", ".#", ".#", ".#", ".#", "#."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'c', {"....", "....", ".###", "#...", "#...", "#...", ".###"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
    {'h', {"#...", "#...", "###.", "#..#", "#..#", "#..#", "#..#"}},
    {'i', {"#", ".", "#", "#", "#", "#", "#"}},
    {'l', {"#", "#", "#", "#", "#", "#", "#"}},
    {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"}},
    {'n', {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#"}},
    {'o', {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##."}},
    {'p', {"....", "....", "###.", "#..#", "###.", "#...", "#..."}},
    {'r', {"...", "...", "#.#", "##.", "#..", "#..", "#.."}},
    {'s', {"....", "....", ".###", "#...", ".##.", "...#", "###."}},
    {'t', {".#.", ".#.", "###", ".#.", ".#.", ".#.", "..#"}},
    {'u', {"....", "....", "#..#", "#..#", "#..#", "#..#", ".###"}},
    {'v', {".....", ".....", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
    {'y', {"....", "....", "#..#", "#..#", ".###", "...#", ".##."}},
};

static const Glyph *Font_FindGlyph(char letter)
{
    for (const Glyph &glyph : c_Glyphs)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

// Letters are set one blank column apart.
int Font_TextWidth(const char *text)
{
    int width = 0;
    for (const char *p = text; *p; p++) {
        const Glyph *glyph = Font_FindGlyph(*p);
        if (!glyph)
            return -1;
        if (p != text)
            width += 1;
        width += (int)std::strlen(glyph->rows[0]);
    }
    return width;
}

int Font_DrawText(Canvas *canvas, int left, int top, const char *text,
                  uint8_t colour)
{
    int x = left;
    for (const char *p = text; *p; p++) {
        const Glyph *glyph = Font_FindGlyph(*p);
        if (!glyph) {
            std::fprintf(stderr, "resgen: the font has no letter '%c'\n", *p);
            continue;
        }
        if (p != text)
            x += 1;
        int glyphWidth = (int)std::strlen(glyph->rows[0]);
        for (int row = 0; row < c_GlyphRows; row++)
            for (int column = 0; column < glyphWidth; column++)
                if (glyph->rows[row][column] == '#')
                    Canvas_Pixel(canvas, x + column, top + row, colour);
        x += glyphWidth;
    }
    return x - left;
}
