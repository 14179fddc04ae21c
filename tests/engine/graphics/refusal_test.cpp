// The bitmap loader on truncated, lying and unsupported files: each is refused with 0 and the
// record keeps its pixels, headers and palette.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "engine/graphics/bitmap.h"
#include "tests/engine/graphics/bmp_builder.h"

namespace {

// A record that already holds a picture, to see that a refused file leaves it as it was.
struct Loaded_Record {
    BITMAP_FILE_TAG bmp{};
    UCHAR *pixels;
    Loaded_Record() {
        pixels = (UCHAR *)std::malloc(4);
        std::memcpy(pixels, "\x11\x22\x33\x44", 4);
        bmp.buffer = pixels;
        bmp.file_header.bfType = 0x1234;
        bmp.info_header.biWidth = 77;
        bmp.info_header.biHeight = 88;
        bmp.info_header.biBitCount = 99;
        for (auto &e : bmp.palette)
            e = PALETTEENTRY{5, 6, 7, 8};
    }
    ~Loaded_Record() { Unload_Bitmap_File(&bmp); }
    void Expect_Unchanged() const {
        EXPECT_EQ(bmp.buffer, pixels);
        EXPECT_EQ(std::memcmp(bmp.buffer, "\x11\x22\x33\x44", 4), 0);
        EXPECT_EQ(bmp.file_header.bfType, 0x1234);
        EXPECT_EQ(bmp.info_header.biWidth, 77);
        EXPECT_EQ(bmp.info_header.biHeight, 88);
        EXPECT_EQ(bmp.info_header.biBitCount, 99);
        for (const auto &e : bmp.palette) {
            EXPECT_EQ(e.peRed, 5);
            EXPECT_EQ(e.peFlags, 8);
        }
    }
};

// 4 x 2 at 8 bits with a 2-entry palette: rows need no padding, so every byte counts.
Bmp_Parts Good_Pal8() {
    Bmp_Parts p;
    p.bits = 8;
    p.width = 4;
    p.height = 2;
    p.clr_used = 2;
    p.between = {0, 0, 0, 0, 255, 255, 255, 0};
    p.pixels = {0, 1, 0, 1, 1, 0, 1, 0};
    return p;
}

// 2 x 1 at 24 bits (6 bytes of pixels, 2 of padding).
Bmp_Parts Good_Rgb24() {
    Bmp_Parts p;
    p.width = 2;
    p.height = 1;
    p.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    return p;
}

void Expect_Refused(const std::vector<uint8_t> &bytes, const char *what) {
    SCOPED_TRACE(what);
    Loaded_Record r;
    EXPECT_EQ(Load_Bitmap_File_Mem(&r.bmp, bytes.data(), bytes.size()), 0);
    r.Expect_Unchanged();
}

void Expect_Refused(Bmp_Parts p, const std::function<void(Bmp_Parts &)> &change, const char *what) {
    change(p);
    Expect_Refused(Build_Bmp(p), what);
}

} // namespace

TEST(BitmapRefusal, TheGoodFilesUsedBelowLoad) {
    for (const Bmp_Parts &p : {Good_Pal8(), Good_Rgb24()}) {
        std::vector<uint8_t> bytes = Build_Bmp(p);
        BITMAP_FILE_TAG bmp{};
        EXPECT_EQ(Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size()), 1);
        Unload_Bitmap_File(&bmp);
    }
}

TEST(BitmapRefusal, NotABitmap) {
    std::vector<uint8_t> bytes = Build_Bmp(Good_Pal8());
    bytes[1] = 'A';
    Expect_Refused(bytes, "BA");
    Expect_Refused(std::vector<uint8_t>{}, "empty");
    Expect_Refused(std::vector<uint8_t>{'B', 'M'}, "type only");
    Loaded_Record r;
    EXPECT_EQ(Load_Bitmap_File_Mem(&r.bmp, nullptr, 100), 0);
    EXPECT_EQ(Load_Bitmap_File_Mem(nullptr, bytes.data(), bytes.size()), 0);
    r.Expect_Unchanged();
}

TEST(BitmapRefusal, EveryTruncation) {
    for (const Bmp_Parts &p : {Good_Pal8(), Good_Rgb24()}) {
        std::vector<uint8_t> bytes = Build_Bmp(p);
        // The 24-bit file may lose its last row's padding and still hold every pixel.
        size_t whole = bytes.size() - (p.bits == 24 ? 2 : 0);
        for (size_t n = 0; n < whole; n++) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
            Expect_Refused(cut, ("truncated to " + std::to_string(n)).c_str());
        }
    }
}

TEST(BitmapRefusal, UnsupportedBitCountsAndCompression) {
    for (int bits : {0, 1, 4, 15, 32, 48}) {
        Expect_Refused(
            Good_Rgb24(), [bits](Bmp_Parts &p) { p.bits = (uint16_t)bits; },
            ("bits " + std::to_string(bits)).c_str());
    }
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.compression = 1; }, "RLE8");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.compression = 2; }, "RLE4");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.compression = 3; }, "8-bit bit fields");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.compression = 3; }, "24-bit bit fields");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.compression = 4; }, "JPEG");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.planes = 2; }, "two planes");
}

TEST(BitmapRefusal, BadDimensions) {
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.width = 0; }, "width 0");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.width = -2; }, "width -2");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.height = 0; }, "height 0");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.width = INT_MAX; }, "width INT_MAX");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.height = INT_MIN; }, "height INT_MIN");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.width = 16385; }, "width 16385");
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.height = -16385; }, "height -16385");
    // Within the cap but far more pixels than the file holds: refused before any allocation.
    Expect_Refused(
        Good_Rgb24(), [](Bmp_Parts &p) { p.width = p.height = 16384; }, "16384 square");
    Bmp_Parts core;
    core.header_size = 12;
    core.width = 0;
    core.pixels = {0, 0, 0, 0};
    Expect_Refused(Build_Bmp(core), "OS/2 width 0");
}

TEST(BitmapRefusal, LyingOffsetsAndSizes) {
    Expect_Refused(
        Good_Pal8(),
        [](Bmp_Parts &p) {
            p.off_bits = 0;
            p.size_image = 9;
        },
        "no offset, image size reaching into the palette");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.off_bits = 30; }, "offset in the header");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.off_bits = 14 + 40 + 8 + 1; },
        "offset leaves too few pixel bytes");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.off_bits = 0xFFFFFFFF; }, "offset huge");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.header_size = 39; }, "header 39");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.header_size = 13; }, "header 13");
    std::vector<uint8_t> bytes = Build_Bmp(Good_Pal8());
    bytes[14 + 1] = 0x13; // header size 0x1328: longer than the whole file
    Expect_Refused(bytes, "header past the end");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.clr_used = 257; }, "257 colours");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.clr_used = 3; }, "palette runs into pixels");
    Expect_Refused(
        Good_Pal8(), [](Bmp_Parts &p) { p.size_image = 7; }, "image size too small");
}

TEST(BitmapRefusal, BadBitFieldMasks) {
    Bmp_Parts p;
    p.bits = 16;
    p.compression = 3;
    p.width = 2;
    p.height = 1;
    p.between = Masks(0xF800, 0x07E0, 0x001F);
    p.pixels = {0, 0, 0, 0};
    std::vector<uint8_t> bytes = Build_Bmp(p);
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size()), 1);
    Unload_Bitmap_File(&bmp);
    Expect_Refused(
        p, [](Bmp_Parts &q) { q.between = Masks(0x1F0000, 0x07E0, 0x001F); }, "mask above 16 bits");
    // The masks are missing: the pixel offset points into where they would be.
    Expect_Refused(
        p, [](Bmp_Parts &q) { q.between.clear(); }, "no masks");
}

TEST(BitmapRefusal, HugeFilesAreNotNeededToRefuseHugeClaims) {
    // 16384 x 16384 at 24 bits claims 805 MB of pixels; a header-only file must not make the
    // loader allocate anything like that (it would fail or be slow under the sanitizers).
    Bmp_Parts p;
    p.width = 16384;
    p.height = -16384;
    p.pixels.assign(64, 0);
    Expect_Refused(Build_Bmp(p), "huge claim");
}
