// The bitmap loader on well-formed files: bit depths, packings, padding, row order, palettes,
// header variants; and row turning and unloading.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/graphics/bitmap.h"
#include "tests/engine/graphics/bmp_builder.h"

namespace {

struct Format_Guard {
    int saved = dd_pixel_format;
    explicit Format_Guard(int f) { dd_pixel_format = f; }
    ~Format_Guard() { dd_pixel_format = saved; }
};

int Load(BITMAP_FILE_TAG *bmp, const std::vector<uint8_t> &bytes) {
    return Load_Bitmap_File_Mem(bmp, bytes.data(), bytes.size());
}

USHORT Px16(const BITMAP_FILE_TAG &bmp, int x, int y) {
    USHORT v;
    std::memcpy(&v, bmp.buffer + 2 * (y * bmp.info_header.biWidth + x), 2);
    return v;
}

// 2 x 2, 24 bits, bottom-up: top row red, green; bottom row blue, white. Rows are 6 bytes of
// pixels and 2 bytes of padding (filled with junk that must not show).
std::vector<uint8_t> Rgb24_2x2() {
    Bmp_Parts p;
    p.width = 2;
    p.height = 2;
    p.bits = 24;
    p.pixels = {255, 0, 0,   255, 255, 255, 0xEE, 0xEE, // stored first: the bottom row
                0,   0, 255, 0,   255, 0,   0xEE, 0xEE};
    return Build_Bmp(p);
}

} // namespace

TEST(BitmapLoader, Rgb24In555And565) {
    BITMAP_FILE_TAG bmp{};
    {
        Format_Guard f(15);
        ASSERT_EQ(Load(&bmp, Rgb24_2x2()), 1);
        EXPECT_EQ(bmp.info_header.biBitCount, 16);
        EXPECT_EQ(Px16(bmp, 0, 0), 0x7C00); // red
        EXPECT_EQ(Px16(bmp, 1, 0), 0x03E0); // green
        EXPECT_EQ(Px16(bmp, 0, 1), 0x001F); // blue
        EXPECT_EQ(Px16(bmp, 1, 1), 0x7FFF); // white
    }
    {
        Format_Guard f(16);
        ASSERT_EQ(Load(&bmp, Rgb24_2x2()), 1);
        EXPECT_EQ(Px16(bmp, 0, 0), 0xF800);
        EXPECT_EQ(Px16(bmp, 1, 0), 0x07C0);
        EXPECT_EQ(Px16(bmp, 0, 1), 0x001F);
        EXPECT_EQ(Px16(bmp, 1, 1), 0xFFDF);
    }
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, Rgb24KeepsTopFiveBitsAndTopDownOrder) {
    Format_Guard f(15);
    Bmp_Parts p;
    p.width = 1;
    p.height = -2; // top-down: the first stored row is the top one
    // Blue 0x0F, green 0x10, red 0xFF -> 1, 2, 31; then blue 0x07, green 0xF8, red 0x08 -> 0,
    // 31, 1.
    p.pixels = {0x0F, 0x10, 0xFF, 0xAA, 0x07, 0xF8, 0x08, 0xAA};
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    EXPECT_EQ(Px16(bmp, 0, 0), 1 + (2 << 5) + (31 << 10));
    EXPECT_EQ(Px16(bmp, 0, 1), 0 + (31 << 5) + (1 << 10));
    // The header describes the buffer, whose rows run top first whatever the file's order.
    EXPECT_EQ(bmp.info_header.biHeight, 2);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, Pal8ShortPaletteTopDownPaddedRows) {
    Bmp_Parts p;
    p.bits = 8;
    p.width = 3;
    p.height = -2;
    p.clr_used = 3;
    p.between = {1, 2, 3, 0x99, 10, 20, 30, 0x99, 0xFF, 0, 0x80, 0x99};
    p.pixels = {0, 1, 2, 0x55, 2, 2, 0, 0x55};
    BITMAP_FILE_TAG bmp{};
    for (auto &e : bmp.palette)
        e = PALETTEENTRY{7, 7, 7, 7};
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    EXPECT_EQ(bmp.info_header.biBitCount, 8);
    const UCHAR want[6] = {0, 1, 2, 2, 2, 0};
    EXPECT_EQ(std::memcmp(bmp.buffer, want, 6), 0);
    EXPECT_EQ(bmp.palette[0].peRed, 3);
    EXPECT_EQ(bmp.palette[0].peGreen, 2);
    EXPECT_EQ(bmp.palette[0].peBlue, 1);
    EXPECT_EQ(bmp.palette[1].peRed, 30);
    EXPECT_EQ(bmp.palette[1].peBlue, 10);
    EXPECT_EQ(bmp.palette[2].peRed, 0x80);
    EXPECT_EQ(bmp.palette[2].peBlue, 0xFF);
    for (int i = 0; i < 256; i++)
        EXPECT_EQ(bmp.palette[i].peFlags, 4) << i;
    // Entries the file does not give are black, not left over from before.
    EXPECT_EQ(bmp.palette[3].peRed + bmp.palette[3].peGreen + bmp.palette[3].peBlue, 0);
    EXPECT_EQ(bmp.palette[255].peRed, 0);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, Pal8BottomUpFullPaletteLastStoredRowOnTop) {
    Bmp_Parts p;
    p.bits = 8;
    p.width = 4;
    p.height = 3;
    for (int i = 0; i < 256; i++)
        p.between.insert(p.between.end(), {(uint8_t)i, 0, 0, 0});
    p.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    const UCHAR want[12] = {9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(bmp.buffer, want, 12), 0);
    EXPECT_EQ(bmp.palette[200].peBlue, 200);
    EXPECT_EQ(bmp.palette[200].peRed, 0);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, Rgb16Plain555ConvertsToCurrentPacking) {
    Bmp_Parts p;
    p.bits = 16;
    p.width = 3;
    p.height = 1;
    // 0x7C00 red 31; 0x03E0 green 31; 0x4210 all three 16; two bytes of padding.
    p.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x10, 0x42, 0xCC, 0xCC};
    BITMAP_FILE_TAG bmp{};
    {
        Format_Guard f(15);
        ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
        EXPECT_EQ(Px16(bmp, 0, 0), 0x7C00);
        EXPECT_EQ(Px16(bmp, 1, 0), 0x03E0);
        EXPECT_EQ(Px16(bmp, 2, 0), 0x4210);
    }
    {
        Format_Guard f(16);
        ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
        EXPECT_EQ(Px16(bmp, 0, 0), 0xF800);
        EXPECT_EQ(Px16(bmp, 1, 0), 0x07C0);
        EXPECT_EQ(Px16(bmp, 2, 0), 16 + (16 << 6) + (16 << 11));
    }
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, Rgb16BitFields565) {
    Bmp_Parts p;
    p.bits = 16;
    p.compression = 3;
    p.width = 4;
    p.height = 1;
    p.between = Masks(0xF800, 0x07E0, 0x001F);
    // 0xF800 red; 0x07E0 green 63; 0x0020 green 1; 0x0040 green 2.
    p.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0x40, 0x00};
    BITMAP_FILE_TAG bmp{};
    {
        Format_Guard f(15);
        ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
        EXPECT_EQ(Px16(bmp, 0, 0), 0x7C00);
        EXPECT_EQ(Px16(bmp, 1, 0), 0x03E0);
        EXPECT_EQ(Px16(bmp, 2, 0), 0x0000); // the 6th green bit is below the packing's precision
        EXPECT_EQ(Px16(bmp, 3, 0), 0x0020);
    }
    {
        Format_Guard f(16);
        ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
        EXPECT_EQ(Px16(bmp, 0, 0), 0xF800);
        EXPECT_EQ(Px16(bmp, 1, 0), 0x07C0);
        EXPECT_EQ(Px16(bmp, 2, 0), 0x0000);
        EXPECT_EQ(Px16(bmp, 3, 0), 0x0040);
    }
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, BitFieldsInV5HeaderAndShortFields) {
    Format_Guard f(15);
    Bmp_Parts p;
    p.header_size = 124;
    p.bits = 16;
    p.compression = 3;
    p.width = 2;
    p.height = 1;
    // 4.4.4 fields (x4.r4.g4.b4): short fields repeat their bits when stretched, so a 4-bit
    // 0xF is 0xFF (31 at five bits) and 0x8 is 0x88 (17 at five bits).
    p.header_tail = Masks(0x0F00, 0x00F0, 0x000F);
    p.pixels = {0xF8, 0x0F, 0x00, 0x08}; // 0x0FF8: r 15, g 15, b 8; 0x0800: r 8
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    EXPECT_EQ(Px16(bmp, 0, 0), 17 + (31 << 5) + (31 << 10));
    EXPECT_EQ(Px16(bmp, 1, 0), 17 << 10);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, Os2CoreHeaderWithThreeBytePalette) {
    Bmp_Parts p;
    p.header_size = 12;
    p.bits = 8;
    p.width = 2;
    p.height = 1;
    p.between = {1, 2, 3, 4, 5, 6}; // two entries, blue green red
    p.pixels = {1, 0, 0, 0};
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    EXPECT_EQ(bmp.buffer[0], 1);
    EXPECT_EQ(bmp.buffer[1], 0);
    EXPECT_EQ(bmp.palette[0].peRed, 3);
    EXPECT_EQ(bmp.palette[0].peBlue, 1);
    EXPECT_EQ(bmp.palette[1].peRed, 6);
    EXPECT_EQ(bmp.palette[1].peGreen, 5);
    EXPECT_EQ(bmp.palette[2].peRed, 0);
    EXPECT_EQ(bmp.palette[2].peFlags, 4);
    EXPECT_EQ(bmp.info_header.biWidth, 2);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, V4HeaderPixelsStartAtTheOffsetNotAtTheEnd) {
    Bmp_Parts p;
    p.header_size = 108;
    p.bits = 8;
    p.width = 1;
    p.height = 1;
    p.clr_used = 2;
    p.between = {9, 9, 9, 0, 8, 8, 8, 0};
    p.pixels = {1, 0, 0, 0, /* trailing bytes after the pixel array: */ 0, 0, 0, 0};
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    EXPECT_EQ(bmp.buffer[0], 1);
    EXPECT_EQ(bmp.palette[0].peRed, 9);
    EXPECT_EQ(bmp.palette[1].peRed, 8);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, WithoutAPixelOffsetThePixelsAreTheLastImageSizeBytes) {
    Bmp_Parts p;
    p.bits = 8;
    p.width = 4;
    p.height = 1;
    p.clr_used = 1;
    p.between = {0, 0, 0, 0, /* 4 bytes the header does not account for */ 7, 7, 7, 7};
    p.pixels = {0, 0, 0, 0};
    p.off_bits = 0;
    p.size_image = 4;
    BITMAP_FILE_TAG bmp{};
    std::vector<uint8_t> bytes = Build_Bmp(p);
    ASSERT_EQ(Load(&bmp, bytes), 1);
    EXPECT_EQ(bmp.buffer[0], 0);
    // Image size 8 takes the 4 unexplained bytes as the pixels: all index 7.
    bytes[34] = 8;
    ASSERT_EQ(Load(&bmp, bytes), 1);
    EXPECT_EQ(bmp.buffer[0], 7);
    EXPECT_EQ(bmp.buffer[3], 7);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, UnpaddedRowsAreReadWhenTheImageSizeSaysSo) {
    Format_Guard f(15);
    Bmp_Parts p;
    p.width = 1;
    p.height = 2;
    p.size_image = 6;                  // 1 x 2 x 3 bytes: rows of 3 bytes, no padding
    p.pixels = {0, 0, 255, 255, 0, 0}; // bottom row red, top row blue
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    EXPECT_EQ(Px16(bmp, 0, 0), 0x001F);
    EXPECT_EQ(Px16(bmp, 0, 1), 0x7C00);
    // The same bytes with no image size (or a padded one) are a truncated padded file.
    p.size_image = 0;
    EXPECT_EQ(Load(&bmp, Build_Bmp(p)), 0);
    p.size_image = 8;
    EXPECT_EQ(Load(&bmp, Build_Bmp(p)), 0);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, ReloadReplacesPixelsAndPalettesStayFor16Bit) {
    Format_Guard f(15);
    BITMAP_FILE_TAG bmp{};
    bmp.palette[5] = PALETTEENTRY{1, 2, 3, 9};
    ASSERT_EQ(Load(&bmp, Rgb24_2x2()), 1);
    ASSERT_EQ(Load(&bmp, Rgb24_2x2()), 1); // the first buffer is released (checked by LSan)
    EXPECT_EQ(bmp.palette[5].peFlags, 9);
    EXPECT_EQ(bmp.palette[5].peBlue, 3);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapLoader, LoadsFromFileAndMissingFileChangesNothing) {
    Format_Guard f(15);
    std::string path = ::testing::TempDir() + "fw_bitmap_test_2x2.bmp";
    std::vector<uint8_t> bytes = Rgb24_2x2();
    FILE *fp = std::fopen(path.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), fp), bytes.size());
    std::fclose(fp);
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load_Bitmap_File(&bmp, path.c_str()), 1);
    EXPECT_EQ(Px16(bmp, 1, 1), 0x7FFF);
    UCHAR *before = bmp.buffer;
    EXPECT_EQ(Load_Bitmap_File(&bmp, (path + ".missing").c_str()), 0);
    EXPECT_EQ(bmp.buffer, before);
    EXPECT_EQ(Load_Bitmap_File(nullptr, path.c_str()), 0);
    EXPECT_EQ(Load_Bitmap_File(&bmp, nullptr), 0);
    Unload_Bitmap_File(&bmp);
    std::remove(path.c_str());
}

TEST(BitmapLoader, UnloadKeepsHeadersAndIsHarmlessWhenEmpty) {
    BITMAP_FILE_TAG bmp{};
    EXPECT_EQ(Unload_Bitmap_File(&bmp), 1);
    EXPECT_EQ(bmp.buffer, nullptr);
    ASSERT_EQ(Load(&bmp, Rgb24_2x2()), 1);
    EXPECT_EQ(Unload_Bitmap_File(&bmp), 1);
    EXPECT_EQ(bmp.buffer, nullptr);
    EXPECT_EQ(bmp.info_header.biWidth, 2);
    EXPECT_EQ(bmp.file_header.bfType, 0x4D42);
    EXPECT_EQ(Unload_Bitmap_File(&bmp), 1);
    EXPECT_EQ(Unload_Bitmap_File(nullptr), 1);
}

TEST(BitmapRows, FlipTurnsRowsAndToleratesEmptyBlocks) {
    UCHAR rows[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Flip_Bitmap_Rows(rows, 2, 3), 1);
    const UCHAR want[6] = {5, 6, 3, 4, 1, 2};
    EXPECT_EQ(std::memcmp(rows, want, 6), 0);
    EXPECT_EQ(Flip_Bitmap_Rows(rows, 2, 0), 1);
    EXPECT_EQ(Flip_Bitmap_Rows(rows, 6, 1), 1);
    EXPECT_EQ(std::memcmp(rows, want, 6), 0);
    EXPECT_EQ(Flip_Bitmap_Rows(rows, -2, 3), 0);
    EXPECT_EQ(Flip_Bitmap_Rows(nullptr, 2, 3), 0);
}
