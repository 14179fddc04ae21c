// The loader over the bitmap cases the build writes (tools/genbmp): every good form gives the
// pattern it was written with, in both packings; every faulty file is refused; no cut of any
// case is read past its end. Needs nothing beside the repository.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/graphics/bitmap.h"
#include "tools/genbmp/pattern.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Read_All(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

#ifdef FW_BMP_CASES
const char *const kCases = FW_BMP_CASES;
#else
const char *const kCases = nullptr; // a narrowed build without tools/genbmp
#endif

std::vector<fs::path> Cases(const char *sub) {
    std::vector<fs::path> out;
    if (!kCases) return out;
    fs::path dir = fs::path(kCases) / sub;
    if (fs::is_directory(dir))
        for (const auto &e : fs::directory_iterator(dir))
            if (e.path().extension() == ".bmp") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

// The palette size a good 8-bit case was written with (its name says when it is short).
int Palette_Size(const fs::path &p) {
    return p.filename().string().find("clrused40") != std::string::npos ? 40 : 256;
}

struct Format_Guard {
    int saved = dd_pixel_format;
    explicit Format_Guard(int f) { dd_pixel_format = f; }
    ~Format_Guard() { dd_pixel_format = saved; }
};

} // namespace

TEST(GeneratedBitmaps, EveryFormGivesItsPatternInBothPackings) {
    if (!kCases) GTEST_SKIP() << "built without the bitmap case generator";
    std::vector<fs::path> good = Cases("good");
    // 8-bit in six header forms, 16-bit plain and in five bit-field layouts, 24-bit in five.
    ASSERT_GE(good.size(), 19u) << "the cases are written by fw-genbmp at build time";
    for (const fs::path &p : good) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> bytes = Read_All(p);
        for (int format : {15, 16}) {
            Format_Guard guard(format);
            BITMAP_FILE_TAG bmp{};
            ASSERT_EQ(Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size()), 1);
            ASSERT_EQ(bmp.info_header.biWidth, BMP_CASE_WIDTH);
            ASSERT_EQ(bmp.info_header.biHeight, BMP_CASE_HEIGHT); // top-down files come out upright
            int bits = bmp.info_header.biBitCount;
            int bad = 0;
            for (int y = 0; y < BMP_CASE_HEIGHT; y++) {
                for (int x = 0; x < BMP_CASE_WIDTH; x++) {
                    if (bits == 8) {
                        // The index is kept, and the palette entry keeps all 8 bits.
                        int want = Case_Index(x, y, Palette_Size(p));
                        int got = bmp.buffer[y * BMP_CASE_WIDTH + x];
                        Case_Rgb c = Case_Palette(want);
                        const PALETTEENTRY &e = bmp.palette[got];
                        bad += got != want || e.peRed != c.r || e.peGreen != c.g || e.peBlue != c.b;
                        continue;
                    }
                    ASSERT_EQ(bits, 16); // 24-bit files are turned into 16-bit pixels
                    USHORT v;
                    std::memcpy(&v, bmp.buffer + 2 * (y * BMP_CASE_WIDTH + x), 2);
                    // Each component is the top five bits of the 8-bit colour, whatever the mask
                    // width stored it in (a 4-bit field repeats its bits to fill five).
                    Case_Rgb c = Case_Pixel(x, y);
                    int r5 = c.r >> 3, g5 = c.g >> 3, b5 = c.b >> 3;
                    if (p.filename().string().find("bf444") != std::string::npos)
                        r5 = (c.r >> 4) << 1 | (c.r >> 7), g5 = (c.g >> 4) << 1 | (c.g >> 7),
                        b5 = (c.b >> 4) << 1 | (c.b >> 7);
                    int r = format == 15 ? (v >> 10) & 31 : v >> 11;
                    int g = format == 15 ? (v >> 5) & 31 : (v >> 6) & 31;
                    bad += r != r5 || g != g5 || (v & 31) != b5;
                }
            }
            EXPECT_EQ(bad, 0) << "format " << format;
            Unload_Bitmap_File(&bmp);
        }
    }
}

TEST(GeneratedBitmaps, EveryFaultIsRefused) {
    if (!kCases) GTEST_SKIP() << "built without the bitmap case generator";
    std::vector<fs::path> bad = Cases("bad");
    ASSERT_GE(bad.size(), 29u) << "the cases are written by fw-genbmp at build time";
    for (const fs::path &p : bad) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> bytes = Read_All(p);
        BITMAP_FILE_TAG bmp{};
        EXPECT_EQ(Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size()), 0);
        EXPECT_EQ(bmp.buffer, nullptr);
    }
}

TEST(GeneratedBitmaps, EveryCutOfAGoodFormIsWholeOrRefused) {
    if (!kCases) GTEST_SKIP() << "built without the bitmap case generator";
    for (const fs::path &p : Cases("good")) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> bytes = Read_All(p);
        for (size_t n = 0; n < bytes.size(); n++) {
            // A copy of exactly n bytes, so the sanitizer build sees any read past the cut.
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
            BITMAP_FILE_TAG bmp{};
            if (Load_Bitmap_File_Mem(&bmp, cut.data(), cut.size())) {
                EXPECT_NE(bmp.buffer, nullptr);
                Unload_Bitmap_File(&bmp);
            }
        }
    }
}
