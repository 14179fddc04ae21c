// The baked text face against FreeType's own rendering of the same strings, mask byte for byte,
// and the layout's edges (null, empty, overlong, outside printable ASCII).
#include "tests/engine/graphics/display_fixture.h"
#include "engine/graphics/text_face.h"
#include <cstring>
#include <string>
#include <vector>
#ifdef FW_HAVE_FREETYPE
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>
#endif

namespace {

// Every text the game shows, with values at their widest and narrowest, and every glyph.
std::vector<std::string> Game_Texts() {
    std::vector<std::string> t = {"Score:                   0",
                                  "Score:              1234567",
                                  "Game Over",
                                  "You Win!",
                                  "(Hit Enter To Restart)",
                                  "Farwake is running",
                                  "Frame:0",
                                  "Frame:15",
                                  "xv:-12.50 yv:3.25",
                                  "Speed:0.00",
                                  "x:-1234.56 y:7890.12",
                                  "missile delay:0",
                                  "station timer:-1",
                                  "enemy_ships:24",
                                  "0",
                                  "20",
                                  "Warning! Leaving engagement area!",
                                  "Designed and programmed by",
                                  "Orrin Vale",
                                  "Original game engine by",
                                  "Teodor Quist",
                                  "Engine sounds provided by",
                                  "Pellucid Works LLC & Teodor Quist",
                                  "Special Thanks to",
                                  "Professor H. Ostrand",
                                  "The Farwake Project",
                                  "Copyright (c) 2026 The Farwake Project",
                                  "Thanks for playing!",
                                  "Visit farwake.example.org",
                                  "j",
                                  "Y",
                                  " ",
                                  "\x01\x7f",
                                  "AVAVA"};
    std::string all;
    for (int c = 32; c <= 126; c++)
        all += (char)c;
    t.push_back(all);
    return t;
}

const Text_Face &Face16() {
    const Text_Face *f = Text_Face_Find(16);
    EXPECT_NE(f, nullptr);
    return *f;
}

} // namespace

TEST(TextFace, LayoutEdges) {
    const Text_Face &f = Face16();
    std::vector<uint8_t> mask(5, 7);
    int w = -1, h = -1;
    EXPECT_EQ(Text_Face_Mask(f, nullptr, mask, &w, &h), 0);
    ASSERT_EQ(Text_Face_Mask(f, "", mask, &w, &h), 1);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, f.height);
    EXPECT_TRUE(mask.empty());
    // Characters outside printable ASCII all draw the missing-glyph box.
    std::vector<uint8_t> a, b;
    int wa = 0, wb = 0;
    ASSERT_EQ(Text_Face_Mask(f, "\x01", a, &wa, &h), 1);
    ASSERT_EQ(Text_Face_Mask(f, "\xff", b, &wb, &h), 1);
    EXPECT_EQ(wa, wb);
    EXPECT_TRUE(a == b);
    int set = 0;
    for (uint8_t v : a)
        set += v;
    EXPECT_GT(set, 0);
    // A line longer than any screen is cut at 4096 characters: a longer one gives the same mask,
    // at least 3 pixels a glyph wide.
    std::vector<uint8_t> cut, more;
    const std::string longest(4096, 'l'), longer(6000, 'l');
    ASSERT_EQ(Text_Face_Mask(f, longest.c_str(), cut, &w, &h), 1);
    ASSERT_EQ(Text_Face_Mask(f, longer.c_str(), more, &wa, &h), 1);
    EXPECT_EQ(w, wa);
    EXPECT_TRUE(cut == more);
    EXPECT_GE(w, 4096 * 3);
}

TEST(TextFace, SixteenPixelLinesHoldTheWholeFace) {
    // DejaVu Sans Bold: 2048 units an em, ascender 1901, descender -483. At 13 pixels its line
    // is (1901 + 483) * 13 / 2048 = 15.1, rounded up to 16; at 14 it would be 17.
    const Text_Face &f = Face16();
    EXPECT_EQ(f.size, 13);
    EXPECT_EQ(f.height, 16);
    EXPECT_EQ(f.ascent, 13); // 1901 * 13 / 2048 = 12.07, rounded up
    EXPECT_EQ(Text_Face_Find(15), nullptr);
    for (int c = 32; c <= 126; c++) {
        const Text_Glyph &g = Text_Face_Glyph(f, (unsigned char)c);
        EXPECT_LE((size_t)g.offset + (size_t)g.width * g.rows, f.bits_size) << (char)c;
        EXPECT_EQ(g.advance % 64, 0) << (char)c; // hinted advances are whole pixels
    }
}

#ifdef FW_HAVE_FREETYPE

namespace {

struct FreeType_Face {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    ~FreeType_Face() {
        if (face) FT_Done_Face(face);
        if (lib) FT_Done_FreeType(lib);
    }
};

// Opens DejaVu Sans Bold through fontconfig at 13 pixels; false when it is not installed.
bool Open_Reference(FreeType_Face &ft) {
    FcInit();
    FcPattern *want = FcNameParse((const FcChar8 *)"DejaVu Sans:style=Bold");
    FcConfigSubstitute(nullptr, want, FcMatchPattern);
    FcDefaultSubstitute(want);
    FcResult r;
    FcPattern *got = FcFontMatch(nullptr, want, &r);
    FcChar8 *file = nullptr, *family = nullptr;
    std::string path;
    if (got && FcPatternGetString(got, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(got, FC_FAMILY, 0, &family) == FcResultMatch &&
        std::strcmp((const char *)family, "DejaVu Sans") == 0)
        path = (const char *)file;
    if (got) FcPatternDestroy(got);
    FcPatternDestroy(want);
    FcFini();
    return !path.empty() && FT_Init_FreeType(&ft.lib) == 0 &&
           FT_New_Face(ft.lib, path.c_str(), 0, &ft.face) == 0 &&
           FT_Set_Char_Size(ft.face, 0, 13 * 64, 0, 0) == 0;
}

long Floor64(long v) {
    return v >= 0 ? v / 64 : -((-v + 63) / 64);
}

// FreeType's hard-edged rendering of a whole string, glyph after glyph on a wide canvas, then
// cut to the line's box: from the leftmost outline (or the pen's start) and the line's top.
std::vector<uint8_t> Reference_Mask(FT_Face face, const std::string &text, int *w) {
    constexpr int ORIGIN = 64, CW = 4096, CH = 128, BASELINE = 64, ASCENT = 13, HEIGHT = 16;
    std::vector<uint8_t> canvas((size_t)CW * CH, 0);
    long pen = 0, min_x = 0, max_x = 0;
    for (unsigned char c : text) {
        EXPECT_EQ(FT_Load_Glyph(face, FT_Get_Char_Index(face, c), FT_LOAD_DEFAULT), 0);
        const FT_Glyph_Metrics m = face->glyph->metrics;
        EXPECT_EQ(FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO), 0);
        const FT_Bitmap &bm = face->glyph->bitmap;
        const long px = Floor64(pen);
        min_x = std::min(min_x, px + Floor64(m.horiBearingX));
        max_x = std::max(max_x, px + Floor64(m.horiBearingX + m.width + 63));
        for (unsigned y = 0; y < bm.rows; y++)
            for (unsigned x = 0; x < bm.width; x++)
                if ((bm.buffer[y * bm.pitch + x / 8] >> (7 - x % 8)) & 1)
                    canvas[(size_t)(BASELINE - face->glyph->bitmap_top + y) * CW +
                           (ORIGIN + px + face->glyph->bitmap_left + x)] = 1;
        pen += face->glyph->advance.x;
    }
    max_x = std::max(max_x, Floor64(pen + 63));
    *w = text.empty() ? 0 : (int)(max_x - min_x);
    std::vector<uint8_t> mask((size_t)*w * HEIGHT, 0);
    int outside = 0;
    for (int y = 0; y < CH; y++)
        for (int x = 0; x < CW; x++) {
            if (!canvas[(size_t)y * CW + x]) continue;
            const long mx = x - ORIGIN - min_x, my = y - (BASELINE - ASCENT);
            if (mx < 0 || mx >= *w || my < 0 || my >= HEIGHT)
                outside++;
            else
                mask[(size_t)my * *w + mx] = 1;
        }
    EXPECT_EQ(outside, 0) << text; // every glyph pixel lies within the line's box
    return mask;
}

} // namespace

TEST(TextFace, EveryGameTextEqualsFreeTypesRendering) {
    FreeType_Face ft;
    if (!Open_Reference(ft))
        GTEST_SKIP() << "DejaVu Sans Bold is not installed: nothing to compare";
    const Text_Face &f = Face16();
    for (const std::string &t : Game_Texts()) {
        int rw = 0, w = 0, h = 0;
        const std::vector<uint8_t> want = Reference_Mask(ft.face, t, &rw);
        std::vector<uint8_t> got;
        ASSERT_EQ(Text_Face_Mask(f, t.c_str(), got, &w, &h), 1);
        EXPECT_EQ(w, rw) << t;
        EXPECT_EQ(h, 16) << t;
        EXPECT_TRUE(got == want) << t;
    }
}

TEST_F(Display, GameTextsOnScreenAreFreeTypesPixels) {
    FreeType_Face ft;
    if (!Open_Reference(ft))
        GTEST_SKIP() << "DejaVu Sans Bold is not installed: nothing to compare";
    for (const std::string &t : Game_Texts()) {
        Paint(lpddsback, 0);
        ASSERT_EQ(Draw_Text_GDI(t.c_str(), 320, 200, 0x00FFFFFF, lpddsback), 1);
        int w = 0;
        const std::vector<uint8_t> want = Reference_Mask(ft.face, t, &w);
        int wrong = 0;
        for (int y = 0; y < 600; y++)
            for (int x = 0; x < 800; x++) {
                const int mx = x - 320, my = y - 200;
                const bool in =
                    mx >= 0 && mx < w && my >= 0 && my < 16 && want[(size_t)my * w + mx];
                wrong += (Pixel_At(lpddsback, x, y) != 0) != in;
            }
        EXPECT_EQ(wrong, 0) << t;
    }
}

#else

TEST(TextFace, EveryGameTextEqualsFreeTypesRendering) {
    GTEST_SKIP() << "built without FreeType and fontconfig: nothing to compare";
}

#endif
