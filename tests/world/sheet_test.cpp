// Cutting frames from sprite sheets: only cells wholly inside a 16-bit picture are copied, so a
// sheet smaller than its object needs, or a missing one, leaves frames blank and reads nothing
// outside the picture.
#include "tests/support/world_fixture.h"

#include <cstdio>
#include <string>

#include "world/sheet.h"

namespace {

using SheetTest = CombatTest;

// Writes a 24-bit .bmp of w x h pixels (w * 3 a multiple of 4, so rows need no padding), red
// inside cell (0, 0) of a 49-pixel grid and green elsewhere.
std::string Write_Sheet(int w, int h) {
    std::string path = ::testing::TempDir() + "combat_sheet.bmp";
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return "";
    int row = w * 3, size = row * h;
    auto put16 = [&](int v) { std::fputc(v & 255, f), std::fputc((v >> 8) & 255, f); };
    auto put32 = [&](int v) { put16(v & 0xFFFF), put16((v >> 16) & 0xFFFF); };
    std::fputc('B', f);
    std::fputc('M', f);
    put32(54 + size);
    put32(0);
    put32(54);
    put32(40);
    put32(w);
    put32(h);
    put16(1);
    put16(24);
    put32(0);
    put32(size);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = h - 1; y >= 0; y--) // bottom row first
        for (int x = 0; x < w; x++) {
            bool cell0 = x >= 1 && x <= 49 && y >= 1 && y <= 49;
            std::fputc(0, f);               // blue
            std::fputc(cell0 ? 0 : 255, f); // green
            std::fputc(cell0 ? 255 : 0, f); // red
        }
    std::fclose(f);
    return path;
}

TEST_F(SheetTest, OnlyCellsInsideThePictureAreCut) {
    std::string path = Write_Sheet(52, 51);
    ASSERT_FALSE(path.empty());
    BOB_TYP bob{};
    ASSERT_EQ(Create_BOB(&bob, 0, 0, 49, 49, 36, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME,
                         DDSCAPS_SYSTEMMEMORY, 0, 16),
              1);
    EXPECT_EQ(Load_Sheet_BOB16(&bob, path.c_str(), 36, 36), 1);
    const DDSURFACE *s = bob.frames[0];
    ASSERT_NE(s, nullptr);
    uint16_t px = (uint16_t)(s->memory[0] | s->memory[1] << 8);
    EXPECT_EQ(px, 31 << 10) << "cell (0, 0) is red, packed 5.5.5";
    uint16_t last = (uint16_t)(s->memory[s->pitch * 48 + 96] | s->memory[s->pitch * 48 + 97] << 8);
    EXPECT_EQ(last, 31 << 10) << "the cell's bottom-right pixel";
    Destroy_BOB(&bob);
    std::remove(path.c_str());
}

TEST_F(SheetTest, MissingFileLoadsNothing) {
    BOB_TYP bob{};
    Create_BOB(&bob, 0, 0, 25, 25, 4, BOB_ATTR_VISIBLE, DDSCAPS_SYSTEMMEMORY, 0, 16);
    EXPECT_EQ(Load_Sheet_BOB16(&bob, "/nonexistent/powerups.bmp", 4, 4), 0);
    EXPECT_EQ(Load_Sheet_BOB16(nullptr, "/nonexistent/powerups.bmp", 4, 4), 0);
    Destroy_BOB(&bob);
}

TEST_F(SheetTest, CellFitsTheGrid) {
    BITMAP_FILE_TAG bm{};
    UCHAR pixels[2] = {};
    bm.buffer = pixels;
    bm.info_header.biBitCount = 16;
    bm.info_header.biWidth = 100;
    bm.info_header.biHeight = 51;
    // Cell k of a 49-pixel grid spans columns 50k + 1 .. 50k + 49.
    EXPECT_TRUE(Sheet_Cell_Fits(&bm, 49, 49, 0, 0));
    EXPECT_TRUE(Sheet_Cell_Fits(&bm, 49, 49, 1, 0));  // ends at column 99
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, 2, 0)); // ends at column 149
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, 0, 1)); // ends at row 99
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, -1, 0));
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, 2000000000, 0)) << "no overflow";
    bm.info_header.biHeight = 50;
    EXPECT_TRUE(Sheet_Cell_Fits(&bm, 49, 49, 0, 0)) << "the bottom border is never read";
    bm.info_header.biHeight = 49;
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, 0, 0)) << "the cell's last row is missing";
    bm.info_header.biHeight = -51;
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, 0, 0));
    bm.info_header.biHeight = 51;
    bm.info_header.biBitCount = 8;
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, 0, 0)) << "8-bit pixels are not frames";
    bm.info_header.biBitCount = 16;
    bm.buffer = nullptr;
    EXPECT_FALSE(Sheet_Cell_Fits(&bm, 49, 49, 0, 0));
    EXPECT_FALSE(Sheet_Cell_Fits(nullptr, 49, 49, 0, 0));
}

} // namespace
