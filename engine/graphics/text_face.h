// The game's text face, baked into the program at build time (tools/genfont): glyph bitmaps,
// metrics and advances, and the layout that turns a string into a hard-edged mask.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One glyph at one size: its bitmap's place against the pen, its outline's extent and advance.
struct Text_Glyph {
    int16_t left, top;    // bitmap's left edge from the pen, top edge above the baseline
    int16_t width, rows;  // bitmap size in pixels
    int16_t min_x, max_x; // outline's extent from the pen, whole pixels
    int32_t advance;      // pen advance in 1/64 pixel
    uint32_t offset;      // first byte of the bitmap in the face's bits
};

// The face at one line height: printable ASCII (space to tilde), then the missing-glyph box.
struct Text_Face {
    int line_height; // the line height asked for
    int size;        // pixel size the face was rendered at
    int ascent;      // baseline from the top of a line
    int height;      // ascender to descender, never more than line_height
    const Text_Glyph *glyphs;
    const uint8_t *bits; // glyph bitmaps, one byte a pixel, 1 on glyph pixels
    size_t bits_size;
};

// Glyphs a face holds: the 95 printable ASCII characters and the missing-glyph box.
constexpr int TEXT_FACE_GLYPHS = 96;

// The baked faces (generated).
extern const Text_Face text_faces[];
// How many faces were baked (generated).
extern const int text_face_count;

// The baked face at a line height, or null when none was baked for it.
const Text_Face *Text_Face_Find(int line_height);
// The glyph a character draws with: characters outside printable ASCII show the missing box.
const Text_Glyph &Text_Face_Glyph(const Text_Face &face, unsigned char c);
// Lays text out and rasterises it: mask gets w*h bytes, 1 on glyph pixels; 0 when text is null.
int Text_Face_Mask(const Text_Face &face, const char *text, std::vector<uint8_t> &mask, int *w,
                   int *h);
