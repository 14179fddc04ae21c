// Text drawn into surfaces: strings laid out over the face baked into the program, without
// anti-aliasing, written as glyph pixels only. The same pixels on every backend.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include "engine/graphics/ddraw.h"
#include "engine/graphics/ddraw_internal.h"
#include "engine/graphics/text_face.h"

namespace {

// Line height of the face in pixels: the 16-pixel lines of the 8 x 16 system font the game's
// text layout was made for.
constexpr int TEXT_PIXEL_HEIGHT = 16;

} // namespace

struct Rendered_Text {
    std::vector<uint8_t> mask; // w * h bytes, 1 on glyph pixels
    int w = 0, h = 0;
};

namespace {

const Text_Face *face = nullptr;

// A frame draws the same dozen strings as the frame before, with a changing number or two, so
// the last few layouts are kept and an unchanged string is stamped without laying it out again.
constexpr int TEXT_CACHE_SLOTS = 32;
constexpr size_t TEXT_CACHE_MAX_CHARS = 256; // longer strings are laid out every time

struct Cached_Text {
    const Text_Face *face = nullptr;
    std::string text;
    Rendered_Text r;
    unsigned long last_use = 0;
};

std::vector<Cached_Text> text_cache;
unsigned long text_cache_clock = 0;

// The layout of text in face, from the cache or laid out into the least recently used slot.
const Rendered_Text *layout(const Text_Face &f, const char *text) {
    static Rendered_Text scratch;
    const size_t len = strnlen(text, TEXT_CACHE_MAX_CHARS + 1);
    if (len > TEXT_CACHE_MAX_CHARS)
        return Text_Face_Mask(f, text, scratch.mask, &scratch.w, &scratch.h) ? &scratch : nullptr;
    if (text_cache.empty()) text_cache.resize(TEXT_CACHE_SLOTS);
    Cached_Text *oldest = &text_cache[0];
    for (Cached_Text &c : text_cache) {
        if (c.face == &f && c.text.size() == len && memcmp(c.text.data(), text, len) == 0) {
            c.last_use = ++text_cache_clock;
            return &c.r;
        }
        if (c.last_use < oldest->last_use) oldest = &c;
    }
    oldest->face = nullptr;
    if (!Text_Face_Mask(f, text, oldest->r.mask, &oldest->r.w, &oldest->r.h)) return nullptr;
    oldest->face = &f;
    oldest->text.assign(text, len);
    oldest->last_use = ++text_cache_clock;
    return &oldest->r;
}

} // namespace

int DDraw_Text_Open() {
    face = Text_Face_Find(TEXT_PIXEL_HEIGHT);
    return face != nullptr;
}

void DDraw_Text_Close() {
    face = nullptr;
    text_cache.clear();
}

typedef uint8_t Mask8 __attribute__((vector_size(8)));
typedef uint16_t Pixel8 __attribute__((vector_size(16)));

namespace {

// Writes the glyph pixels of a rendering at (x, y), cut at the surface's edges: the columns
// are cut once per call, and 16-bit rows go eight pixels a step, skipping steps without glyph.
template <typename Pixel>
void stamp(LPDIRECTDRAWSURFACE4 s, const Rendered_Text &t, int x, int y, Pixel color) {
    const long long first = x < 0 ? -(long long)x : 0;
    const long long end = std::min<long long>(t.w, (long long)s->width - x);
    if (first >= end) return;
    for (int row = 0; row < t.h; row++) {
        const long long sy = (long long)y + row;
        if (sy < 0 || sy >= s->height) continue;
        Pixel *dest = (Pixel *)(s->memory.data() + sy * s->pitch);
        const uint8_t *bits = t.mask.data() + (size_t)row * t.w;
        long long col = first;
        if constexpr (sizeof(Pixel) == 2) {
            const Pixel8 colour = color - (Pixel8){};
            for (; col + 8 <= end; col += 8) {
                uint64_t any;
                memcpy(&any, bits + col, sizeof any);
                if (!any) continue;
                Mask8 m;
                memcpy(&m, bits + col, sizeof m);
                const Pixel8 glyph = (Pixel8)(__builtin_convertvector(m, Pixel8) != 0);
                Pixel8 d;
                memcpy(&d, dest + (x + col), sizeof d);
                d = (d & ~glyph) | (colour & glyph);
                memcpy(dest + (x + col), &d, sizeof d);
            }
        }
        for (; col < end; col++)
            if (bits[col]) dest[x + col] = color;
    }
}

// Draws with a pixel already in the surface's format.
int draw_text(const char *text, int x, int y, USHORT pixel, LPDIRECTDRAWSURFACE4 lpdds) {
    // A locked surface gives no device context, and without a face there is nothing to draw.
    if (!text || !lpdds || lpdds->locked || !face) return 0;
    if (!*text) return 1;
    const Rendered_Text *t = layout(*face, text);
    if (!t) return 0;
    DDraw_Settle_Surface(lpdds);
    if (lpdds->bpp == 16)
        stamp<uint16_t>(lpdds, *t, x, y, pixel);
    else
        stamp<uint8_t>(lpdds, *t, x, y, (uint8_t)pixel);
    return 1;
}

// The palette index whose colour lies nearest a colour reference, as an 8-bit device shows it.
int nearest_index(DWORD color) {
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    int best = 0, best_distance = 1 << 30;
    for (int i = 0; i < 256; i++) {
        const int dr = display_palette[i].peRed - r, dg = display_palette[i].peGreen - g;
        const int db = display_palette[i].peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) best = i, best_distance = distance;
    }
    return best;
}

} // namespace

int Draw_Text_GDI(const char *text, int x, int y, DWORD color, LPDIRECTDRAWSURFACE4 lpdds) {
    if (lpdds && lpdds->bpp == 8) return draw_text(text, x, y, (USHORT)nearest_index(color), lpdds);
    return draw_text(text, x, y, DDraw_Color_To_Pixel(color, dd_present_format), lpdds);
}

// The 8-bit variant writes the palette index itself, which is what that colour shows as.
int Draw_Text_GDI8(const char *text, int x, int y, int color, LPDIRECTDRAWSURFACE4 lpdds) {
    if (color < 0 || color > 255) return 0;
    if (lpdds && lpdds->bpp == 8) return draw_text(text, x, y, (USHORT)color, lpdds);
    const PALETTEENTRY &e = display_palette[color];
    return Draw_Text_GDI(text, x, y, (DWORD)(e.peRed | (e.peGreen << 8) | (e.peBlue << 16)), lpdds);
}
