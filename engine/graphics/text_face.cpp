// Text layout over the baked face: pens advance in 1/64 pixels and floor to whole pixels, and a
// line's box spans its glyphs' outlines, so text sits exactly where the game has always drawn it.
#include "engine/graphics/text_face.h"
#include <algorithm>
#include <cstring>

namespace {

// A line longer than any screen holds is cut here.
constexpr size_t TEXT_MAX_CHARS = 4096;

long floor_px(long v) {
    return v >= 0 ? v / 64 : -((-v + 63) / 64);
}

} // namespace

const Text_Face *Text_Face_Find(int line_height) {
    for (int i = 0; i < text_face_count; i++)
        if (text_faces[i].line_height == line_height) return &text_faces[i];
    return nullptr;
}

const Text_Glyph &Text_Face_Glyph(const Text_Face &face, unsigned char c) {
    if (c < 32 || c > 126) return face.glyphs[TEXT_FACE_GLYPHS - 1];
    return face.glyphs[c - 32];
}

int Text_Face_Mask(const Text_Face &face, const char *text, std::vector<uint8_t> &mask, int *w,
                   int *h) {
    if (!text) return 0;
    const size_t len = strnlen(text, TEXT_MAX_CHARS);
    // First the box: outlines left of the first pen or above the line move everything over.
    long pen = 0, min_x = 0, max_x = 0, min_y = 0, max_y = len ? face.height : 0;
    for (size_t i = 0; i < len; i++) {
        const Text_Glyph &g = Text_Face_Glyph(face, (unsigned char)text[i]);
        const long base = floor_px(pen);
        min_x = std::min(min_x, base + g.min_x);
        max_x = std::max(max_x, base + g.max_x);
        min_y = std::min(min_y, (long)face.ascent - g.top);
        max_y = std::max(max_y, (long)face.ascent - g.top + g.rows);
        pen += g.advance;
    }
    max_x = std::max(max_x, floor_px(pen + 63));
    const long width = max_x - min_x, height = len ? max_y - min_y : face.height;
    mask.assign(len ? (size_t)width * (size_t)height : 0, 0);
    pen = 0;
    for (size_t i = 0; i < len; i++) {
        const Text_Glyph &g = Text_Face_Glyph(face, (unsigned char)text[i]);
        const long x0 = floor_px(pen) + g.left - min_x, y0 = face.ascent - g.top - min_y;
        pen += g.advance;
        if ((size_t)g.offset + (size_t)g.width * g.rows > face.bits_size) continue;
        const uint8_t *bits = face.bits + g.offset;
        // Columns that fall outside the box are cut once per glyph, not tested per pixel.
        const long x_from = std::max(0L, -x0), x_to = std::min((long)g.width, width - x0);
        for (long y = 0; y < g.rows; y++) {
            if (y0 + y < 0 || y0 + y >= height) continue;
            const uint8_t *src = bits + y * g.width;
            uint8_t *dst = mask.data() + (size_t)(y0 + y) * width + x0;
            for (long x = x_from; x < x_to; x++)
                dst[x] |= (uint8_t)(src[x] != 0);
        }
    }
    if (w) *w = len ? (int)width : 0;
    if (h) *h = (int)height;
    return 1;
}
