// Bitmap images: creation and destruction, block extraction by cell and by position with
// refusal of blocks outside the bitmap, and drawing clipped at every edge of the destination.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/graphics/bitmap.h"

namespace {

// A loaded 16-bit bitmap whose pixel at (x, y) is y * 256 + x.
struct Sheet16 {
    BITMAP_FILE_TAG bmp{};
    Sheet16(int w, int h) {
        bmp.info_header.biWidth = w;
        bmp.info_header.biHeight = h;
        bmp.info_header.biBitCount = 16;
        USHORT *px = (USHORT *)std::malloc((size_t)w * h * 2);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                px[y * w + x] = (USHORT)(y * 256 + x);
        bmp.buffer = (UCHAR *)px;
    }
    ~Sheet16() { Unload_Bitmap_File(&bmp); }
};

USHORT Image_Px(const BITMAP_IMAGE_TYP &img, int x, int y) {
    return ((const USHORT *)img.buffer)[y * img.width + x];
}

// Sets the clip bounds for a test and puts them back afterwards.
struct Clip_Guard {
    int saved[4] = {min_clip_x, max_clip_x, min_clip_y, max_clip_y};
    Clip_Guard(int x0, int x1, int y0, int y1) {
        min_clip_x = x0;
        max_clip_x = x1;
        min_clip_y = y0;
        max_clip_y = y1;
    }
    ~Clip_Guard() {
        min_clip_x = saved[0];
        max_clip_x = saved[1];
        min_clip_y = saved[2];
        max_clip_y = saved[3];
    }
};

} // namespace

TEST(BitmapImage, CreateAndDestroy) {
    BITMAP_IMAGE_TYP img{};
    EXPECT_EQ(Destroy_Bitmap_Image(&img), 0); // never created
    EXPECT_EQ(Destroy_Bitmap_Image(nullptr), 0);
    ASSERT_EQ(Create_Bitmap_Image(&img, 100, 50, 4, 3, 16), 1);
    EXPECT_EQ(img.state, 1);
    EXPECT_EQ(img.attr, 0);
    EXPECT_EQ(img.x, 100);
    EXPECT_EQ(img.y, 50);
    EXPECT_EQ(img.num_bytes, 24);
    EXPECT_EQ(img.bpp, 16);
    for (int i = 0; i < 24; i++)
        EXPECT_EQ(img.buffer[i], 0);
    EXPECT_EQ(Destroy_Bitmap_Image(&img), 1);
    BITMAP_IMAGE_TYP zero{};
    EXPECT_EQ(std::memcmp(&img, &zero, sizeof img), 0);

    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 5, 2, 8), 1);
    EXPECT_EQ(img.num_bytes, 10);
    Destroy_Bitmap_Image(&img);
}

TEST(BitmapImage, CreateRefusesEmptyAndAbsurdBlocks) {
    BITMAP_IMAGE_TYP img{};
    img.width = 7;
    EXPECT_EQ(Create_Bitmap_Image(&img, 0, 0, 0, 3, 16), 0);
    EXPECT_EQ(Create_Bitmap_Image(&img, 0, 0, 3, -1, 16), 0);
    EXPECT_EQ(Create_Bitmap_Image(&img, 0, 0, 3, 3, 4), 0);
    EXPECT_EQ(Create_Bitmap_Image(&img, 0, 0, 70000, 70000, 16), 0);
    EXPECT_EQ(img.buffer, nullptr);
    EXPECT_EQ(img.width, 7); // other fields stay as they were
    EXPECT_EQ(Create_Bitmap_Image(nullptr, 0, 0, 3, 3, 16), 0);
}

TEST(BitmapImage, CellAndAbsoluteExtraction) {
    Sheet16 sheet(60, 40);
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 16, 16, 16), 1);
    ASSERT_EQ(Load_Bitmap_Image16(&img, &sheet.bmp, 0, 0, EXTRACT_CELL), 1);
    EXPECT_EQ(Image_Px(img, 0, 0), 1 * 256 + 1);
    EXPECT_TRUE(img.attr & BITMAP_ATTR_LOADED);
    // Cell (2, 1) starts at pixel (35, 18).
    ASSERT_EQ(Load_Bitmap_Image16(&img, &sheet.bmp, 2, 1, EXTRACT_CELL), 1);
    EXPECT_EQ(Image_Px(img, 0, 0), 18 * 256 + 35);
    EXPECT_EQ(Image_Px(img, 15, 15), 33 * 256 + 50);
    EXPECT_EQ(Image_Px(img, 3, 7), 25 * 256 + 38);
    // Any non-zero mode is absolute; the block may touch the bitmap's right and bottom edges.
    ASSERT_EQ(Load_Bitmap_Image16(&img, &sheet.bmp, 44, 24, 5), 1);
    EXPECT_EQ(Image_Px(img, 0, 0), 24 * 256 + 44);
    EXPECT_EQ(Image_Px(img, 15, 15), 39 * 256 + 59);
    Destroy_Bitmap_Image(&img);
}

TEST(BitmapImage, ExtractionRefusesBlocksOutsideOrMismatched) {
    Sheet16 sheet(60, 40);
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 16, 16, 16), 1);
    auto refused = [&](BITMAP_FILE_TAG *b, int cx, int cy, int mode) {
        return Load_Bitmap_Image16(&img, b, cx, cy, mode) == 0 && img.attr == 0 &&
               Image_Px(img, 0, 0) == 0;
    };
    EXPECT_TRUE(refused(&sheet.bmp, 45, 24, EXTRACT_ABSOLUTE)); // one column too far
    EXPECT_TRUE(refused(&sheet.bmp, 44, 25, EXTRACT_ABSOLUTE)); // one row too far
    EXPECT_TRUE(refused(&sheet.bmp, -1, 0, EXTRACT_ABSOLUTE));
    EXPECT_TRUE(refused(&sheet.bmp, 0, -1, EXTRACT_ABSOLUTE));
    EXPECT_TRUE(refused(&sheet.bmp, 3, 0, EXTRACT_CELL));          // columns 52..67
    EXPECT_TRUE(refused(&sheet.bmp, 0, 2, EXTRACT_CELL));          // rows 35..50
    EXPECT_TRUE(refused(&sheet.bmp, 0x7FFFFFFF, 0, EXTRACT_CELL)); // no overflow either
    EXPECT_TRUE(refused(nullptr, 0, 0, EXTRACT_CELL));
    BITMAP_FILE_TAG empty{};
    empty.info_header.biWidth = 60;
    empty.info_header.biHeight = 40;
    empty.info_header.biBitCount = 16;
    EXPECT_TRUE(refused(&empty, 0, 0, EXTRACT_CELL)); // unloaded: no pixels
    sheet.bmp.info_header.biBitCount = 8;
    EXPECT_TRUE(refused(&sheet.bmp, 0, 0, EXTRACT_CELL)); // 8-bit bitmap, 16-bit variant
    sheet.bmp.info_header.biBitCount = 16;
    EXPECT_EQ(Load_Bitmap_Image16(nullptr, &sheet.bmp, 0, 0, EXTRACT_CELL), 0);
    // An 8-bit image has half the bytes the 16-bit variant would write.
    BITMAP_IMAGE_TYP small{};
    ASSERT_EQ(Create_Bitmap_Image(&small, 0, 0, 16, 16, 8), 1);
    EXPECT_EQ(Load_Bitmap_Image16(&small, &sheet.bmp, 0, 0, EXTRACT_CELL), 0);
    EXPECT_EQ(Load_Bitmap_Image(&small, &sheet.bmp, 0, 0, EXTRACT_CELL), 0); // bitmap is 16-bit
    BITMAP_IMAGE_TYP never{};
    EXPECT_EQ(Load_Bitmap_Image16(&never, &sheet.bmp, 0, 0, EXTRACT_CELL), 0);
    Destroy_Bitmap_Image(&small);
    Destroy_Bitmap_Image(&img);
}

TEST(BitmapImage, EightBitExtraction) {
    BITMAP_FILE_TAG bmp{};
    bmp.info_header.biWidth = 10;
    bmp.info_header.biHeight = 4;
    bmp.info_header.biBitCount = 8;
    bmp.buffer = (UCHAR *)std::malloc(40);
    for (int i = 0; i < 40; i++)
        bmp.buffer[i] = (UCHAR)i;
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 3, 2, 8), 1);
    // Cell (1, 0) of 3 x 2 cells starts at column 5, row 1.
    ASSERT_EQ(Load_Bitmap_Image(&img, &bmp, 1, 0, EXTRACT_CELL), 1);
    const UCHAR want[6] = {15, 16, 17, 25, 26, 27};
    EXPECT_EQ(std::memcmp(img.buffer, want, 6), 0);
    EXPECT_EQ(Load_Bitmap_Image(&img, &bmp, 2, 0, EXTRACT_CELL), 0); // columns 9..11
    EXPECT_EQ(Load_Bitmap_Image(&img, &bmp, 7, 2, EXTRACT_ABSOLUTE), 1);
    EXPECT_EQ(img.buffer[5], 39);
    Destroy_Bitmap_Image(&img);
    Unload_Bitmap_File(&bmp);
}

// A 10 x 8 destination with rows 12 pixels apart: the two columns past the clip bounds must
// never be written.
struct Dest16 {
    static constexpr int kStride = 12;
    std::vector<USHORT> px = std::vector<USHORT>(kStride * 8, 0xAAAA);
    USHORT At(int x, int y) const { return px[y * kStride + x]; }
    int Changed() const {
        int n = 0;
        for (USHORT v : px)
            n += v != 0xAAAA;
        return n;
    }
};

// A loaded 4 x 3 image with pixels 1 .. 12, row by row.
struct Image4x3 {
    BITMAP_IMAGE_TYP img{};
    Image4x3(int x, int y) {
        Create_Bitmap_Image(&img, x, y, 4, 3, 16);
        for (int i = 0; i < 12; i++)
            ((USHORT *)img.buffer)[i] = (USHORT)(i + 1);
        img.attr |= BITMAP_ATTR_LOADED;
    }
    ~Image4x3() { Destroy_Bitmap_Image(&img); }
};

TEST(BitmapImageDraw, UnloadedImagesAreNotDrawn) {
    Clip_Guard clip(0, 9, 0, 7);
    Dest16 d;
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 0, 0, 2, 2, 16), 1);
    EXPECT_EQ(Draw_Bitmap_Image16(&img, d.px.data(), Dest16::kStride * 2, 0), 0);
    EXPECT_EQ(d.Changed(), 0);
    EXPECT_EQ(Draw_Bitmap_Image16(nullptr, d.px.data(), Dest16::kStride * 2, 0), 0);
    Destroy_Bitmap_Image(&img);
}

TEST(BitmapImageDraw, OpaqueInsideAndClippedAtEachEdge) {
    Clip_Guard clip(0, 9, 0, 7);
    {
        Dest16 d;
        Image4x3 im(3, 2);
        ASSERT_EQ(Draw_Bitmap_Image16(&im.img, d.px.data(), Dest16::kStride * 2, 0), 1);
        EXPECT_EQ(d.At(3, 2), 1);
        EXPECT_EQ(d.At(6, 2), 4);
        EXPECT_EQ(d.At(3, 4), 9);
        EXPECT_EQ(d.At(6, 4), 12);
        EXPECT_EQ(d.Changed(), 12);
    }
    {
        Dest16 d; // off the left and top edges
        Image4x3 im(-2, -1);
        ASSERT_EQ(Draw_Bitmap_Image16(&im.img, d.px.data(), Dest16::kStride * 2, 0), 1);
        EXPECT_EQ(d.At(0, 0), 7);
        EXPECT_EQ(d.At(1, 0), 8);
        EXPECT_EQ(d.At(0, 1), 11);
        EXPECT_EQ(d.At(1, 1), 12);
        EXPECT_EQ(d.Changed(), 4);
    }
    {
        Dest16 d; // off the right and bottom edges: the pitch's spare columns stay untouched
        Image4x3 im(8, 6);
        ASSERT_EQ(Draw_Bitmap_Image16(&im.img, d.px.data(), Dest16::kStride * 2, 0), 1);
        EXPECT_EQ(d.At(8, 6), 1);
        EXPECT_EQ(d.At(9, 6), 2);
        EXPECT_EQ(d.At(8, 7), 5);
        EXPECT_EQ(d.At(9, 7), 6);
        EXPECT_EQ(d.Changed(), 4);
    }
    for (auto pos : {std::pair{10, 0}, std::pair{-4, 0}, std::pair{0, 8}, std::pair{0, -3}}) {
        Dest16 d; // wholly outside: nothing drawn, still a successful draw
        Image4x3 im(pos.first, pos.second);
        EXPECT_EQ(Draw_Bitmap_Image16(&im.img, d.px.data(), Dest16::kStride * 2, 0), 1);
        EXPECT_EQ(d.Changed(), 0);
    }
}

TEST(BitmapImageDraw, ClipBoundsInsideTheSurface) {
    Clip_Guard clip(2, 7, 1, 5);
    Dest16 d;
    Image4x3 im(0, 0);
    ASSERT_EQ(Draw_Bitmap_Image16(&im.img, d.px.data(), Dest16::kStride * 2, 0), 1);
    // Columns 2, 3 of rows 1, 2 survive.
    EXPECT_EQ(d.At(2, 1), 7);
    EXPECT_EQ(d.At(3, 1), 8);
    EXPECT_EQ(d.At(2, 2), 11);
    EXPECT_EQ(d.At(3, 2), 12);
    EXPECT_EQ(d.Changed(), 4);
}

TEST(BitmapImageDraw, TransparentSkipsZeroPixels) {
    Clip_Guard clip(0, 9, 0, 7);
    Dest16 d;
    Image4x3 im(0, 0);
    USHORT *p = (USHORT *)im.img.buffer;
    for (int i = 0; i < 12; i++)
        if (i % 2) p[i] = 0;
    ASSERT_EQ(Draw_Bitmap_Image16(&im.img, d.px.data(), Dest16::kStride * 2, 1), 1);
    EXPECT_EQ(d.At(0, 0), 1);
    EXPECT_EQ(d.At(1, 0), 0xAAAA);
    EXPECT_EQ(d.At(2, 0), 3);
    EXPECT_EQ(d.Changed(), 6);
    for (int i = 0; i < 12; i++)
        p[i] = 0;
    Dest16 d2;
    ASSERT_EQ(Draw_Bitmap_Image16(&im.img, d2.px.data(), Dest16::kStride * 2, 1), 1);
    EXPECT_EQ(d2.Changed(), 0);
    ASSERT_EQ(Draw_Bitmap_Image16(&im.img, d2.px.data(), Dest16::kStride * 2, 0), 1);
    EXPECT_EQ(d2.Changed(), 12); // an opaque draw overwrites the rectangle with zeros
}

TEST(BitmapImageDraw, EightBitClippedAndTransparent) {
    Clip_Guard clip(0, 4, 0, 2);
    std::vector<UCHAR> dest(8 * 3, 0xEE); // 5 columns inside the bounds, 8 bytes a row
    BITMAP_IMAGE_TYP img{};
    ASSERT_EQ(Create_Bitmap_Image(&img, 3, 1, 3, 3, 8), 1);
    for (int i = 0; i < 9; i++)
        img.buffer[i] = (UCHAR)(i == 4 ? 0 : i + 1);
    img.attr |= BITMAP_ATTR_LOADED;
    ASSERT_EQ(Draw_Bitmap_Image(&img, dest.data(), 8, 1), 1);
    // Visible: columns 3, 4 of rows 1, 2 = image columns 0, 1 of rows 0, 1; pixel 4 is key.
    EXPECT_EQ(dest[1 * 8 + 3], 1);
    EXPECT_EQ(dest[1 * 8 + 4], 2);
    EXPECT_EQ(dest[2 * 8 + 3], 4);
    EXPECT_EQ(dest[2 * 8 + 4], 0xEE);
    int changed = 0;
    for (UCHAR v : dest)
        changed += v != 0xEE;
    EXPECT_EQ(changed, 3);
    // A 16-bit draw of an 8-bit image would read past its block: refused.
    EXPECT_EQ(Draw_Bitmap_Image16(&img, (USHORT *)dest.data(), 8, 0), 0);
    Destroy_Bitmap_Image(&img);
}

TEST(BitmapImageDraw, BackSurfaceMemoryIsClippedToTheSurfaceToo) {
    ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
    // Clip bounds wider than the surface must not let a draw run past its memory.
    Clip_Guard clip(0, 4000, 0, 4000);
    Image4x3 im(798, 598);
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    ASSERT_EQ(Draw_Bitmap_Image16(&im.img, sback_buffer, back_lpitch, 0), 1);
    EXPECT_EQ(sback_buffer[598 * (back_lpitch / 2) + 798], 1);
    EXPECT_EQ(sback_buffer[599 * (back_lpitch / 2) + 799], 6);
    int changed = 0;
    for (int i = 0; i < 800 * 600; i++)
        changed += sback_buffer[i] != 0;
    EXPECT_EQ(changed, 4);
    DDraw_Unlock_Back_Surface();
    DDraw_Shutdown();
}
