// Bitmap rules a caller leans on: pixels keep the packing they were converted under, any
// non-zero mode is absolute, the image's byte count follows bpp shifted right by 3, and the
// 16-bit draw strides by half the pitch, odd pitches included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/graphics/bitmap.h"
#include "tests/engine/graphics/bmp_builder.h"

namespace {

struct Format_Keep {
    int saved = dd_pixel_format;
    ~Format_Keep() { dd_pixel_format = saved; }
};

int Load(BITMAP_FILE_TAG *bmp, const std::vector<uint8_t> &bytes) {
    return Load_Bitmap_File_Mem(bmp, bytes.data(), bytes.size());
}

} // namespace

TEST(BitmapPacking, ConvertedPixelsKeepTheirPackingAfterTheFormatChanges) {
    Format_Keep keep;
    // 2 x 1 at 24 bits: red (0,0,255 as blue, green, red) then green; 6 bytes + 2 of padding.
    Bmp_Parts p;
    p.width = 2;
    p.height = 1;
    p.pixels = {0, 0, 255, 0, 255, 0, 0, 0};
    BITMAP_FILE_TAG bmp{};
    dd_pixel_format = 15;
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    dd_pixel_format = 16; // the packing toggle after the load
    USHORT px[2];
    std::memcpy(px, bmp.buffer, 4);
    EXPECT_EQ(px[0], 0x7C00); // 31 << 10: still 5.5.5
    EXPECT_EQ(px[1], 0x03E0); // 31 << 5
    // An image cut out now copies the same values, converting nothing.
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 2, 1, 16), 1);
    ASSERT_EQ(Load_Bitmap_Image16(&img, &bmp, 0, 0, EXTRACT_ABSOLUTE), 1);
    std::memcpy(px, img.buffer, 4);
    EXPECT_EQ(px[0], 0x7C00);
    EXPECT_EQ(px[1], 0x03E0);
    // A reload under the new packing does convert: red 31 << 11, green 31 << 6.
    ASSERT_EQ(Load(&bmp, Build_Bmp(p)), 1);
    std::memcpy(px, bmp.buffer, 4);
    EXPECT_EQ(px[0], 0xF800);
    EXPECT_EQ(px[1], 0x07C0);
    Destroy_Bitmap_Image(&img);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapPacking, AnyNonZeroModeIsAbsoluteAndCellsUseTheImageSize) {
    // An 8-bit 12 x 10 sheet whose byte at (x, y) is y * 16 + x.
    BITMAP_FILE_TAG bmp{};
    bmp.info_header.biWidth = 12;
    bmp.info_header.biHeight = 10;
    bmp.info_header.biBitCount = 8;
    bmp.buffer = (UCHAR *)std::malloc(120);
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 12; x++)
            bmp.buffer[y * 12 + x] = (UCHAR)(y * 16 + x);
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 3, 2, 8), 1);
    // Cell (1, 2) of a 3 x 2 grid: column 1 * 4 + 1 = 5, row 2 * 3 + 1 = 7.
    ASSERT_EQ(Load_Bitmap_Image(&img, &bmp, 1, 2, EXTRACT_CELL), 1);
    EXPECT_EQ(img.buffer[0], 7 * 16 + 5);
    EXPECT_EQ(img.buffer[5], 8 * 16 + 7); // last pixel: (7, 8)
    for (int mode : {1, 2, -1}) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(Load_Bitmap_Image(&img, &bmp, 1, 2, mode), 1);
        EXPECT_EQ(img.buffer[0], 2 * 16 + 1);
        EXPECT_EQ(img.buffer[5], 3 * 16 + 3);
    }
    EXPECT_EQ(img.attr & BITMAP_ATTR_LOADED, BITMAP_ATTR_LOADED);
    Destroy_Bitmap_Image(&img);
    Unload_Bitmap_File(&bmp);
}

TEST(BitmapPacking, ImageBytesFollowBppShiftedRightByThree) {
    BITMAP_IMAGE_TYP img{};
    // 15 >> 3 is 1 byte a pixel; 4 x 3 pixels make 12 bytes.
    ASSERT_EQ(Create_Bitmap_Image(&img, 7, 9, 4, 3, 15), 1);
    EXPECT_EQ(img.num_bytes, 12);
    EXPECT_EQ(img.bpp, 15);
    Destroy_Bitmap_Image(&img);
    // 23 >> 3 is 2: 4 x 3 x 2 = 24.
    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 4, 3, 23), 1);
    EXPECT_EQ(img.num_bytes, 24);
    Destroy_Bitmap_Image(&img);
}

TEST(BitmapPacking, SixteenBitDrawStridesByHalfThePitch) {
    // A 2 x 2 image of 1, 2 / 3, 4 at (1, 1), drawn with a pitch of 23 bytes: 23 >> 1 = 11
    // pixels a row, so its pixels land at 12, 13, 23 and 24.
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 1, 1, 2, 2, 16), 1);
    const USHORT src[4] = {1, 2, 3, 4};
    std::memcpy(img.buffer, src, 8);
    img.attr |= BITMAP_ATTR_LOADED;
    std::vector<USHORT> dest(11 * 4, 0xAAAA);
    ASSERT_EQ(Draw_Bitmap_Image16(&img, dest.data(), 23, 0), 1);
    for (int i = 0; i < 44; i++) {
        USHORT want = i == 12 ? 1 : i == 13 ? 2 : i == 23 ? 3 : i == 24 ? 4 : 0xAAAA;
        EXPECT_EQ(dest[i], want) << i;
    }
    Destroy_Bitmap_Image(&img);
}
