// The loader over the standard .bmp corpus: every in-scope good file gives the same picture as
// SDL's decoder (run as the separate fw-bmpref tool), every other file is refused or loaded
// without a fault (the sanitizer build watches the latter).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/graphics/bitmap.h"

namespace {

namespace fs = std::filesystem;

#ifdef FW_BMP_CORPUS
const char *const kCorpus = FW_BMP_CORPUS;
#else
const char *const kCorpus = nullptr;
#endif
#ifdef FW_ART_DIR
const char *const kArtDir = FW_ART_DIR;
#else
const char *const kArtDir = nullptr;
#endif
#ifdef FW_BMPREF
const char *const kBmpRef = FW_BMPREF;
#else
const char *const kBmpRef = nullptr;
#endif

bool Have_Corpus() {
    return kCorpus && fs::is_directory(fs::path(kCorpus) / "g");
}

const std::set<std::string> kInScope = {
    "pal8",      "pal8-0",       "pal8gs",     "pal8nonsquare", "pal8os2",  "pal8topdown",
    "pal8v4",    "pal8v5",       "pal8w124",   "pal8w125",      "pal8w126", "rgb16",
    "rgb16-565", "rgb16-565pal", "rgb16bfdef", "rgb24",         "rgb24pal"};

std::vector<uint8_t> Read_All(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> Files_In(const char *sub) {
    std::vector<fs::path> out;
    fs::path dir = fs::path(kCorpus) / sub;
    if (!fs::is_directory(dir)) return out;
    for (const auto &e : fs::directory_iterator(dir))
        if (e.path().extension() == ".bmp") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

struct Format_Guard {
    int saved = dd_pixel_format;
    explicit Format_Guard(int f) { dd_pixel_format = f; }
    ~Format_Guard() { dd_pixel_format = saved; }
};

} // namespace

TEST(BitmapCorpus, InScopeGoodFilesLoadAndOthersAreRefused) {
    if (!Have_Corpus()) GTEST_SKIP() << "no .bmp corpus beside the repository";
    int in_scope = 0;
    for (const fs::path &p : Files_In("g")) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> bytes = Read_All(p);
        BITMAP_FILE_TAG bmp{};
        int ok = Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size());
        if (kInScope.count(p.stem().string())) {
            in_scope++;
            EXPECT_EQ(ok, 1);
            EXPECT_NE(bmp.buffer, nullptr);
        } else {
            EXPECT_EQ(ok, 0); // 1-, 4- and 32-bit, run-length encoded
        }
        Unload_Bitmap_File(&bmp);
    }
    EXPECT_EQ(in_scope, (int)kInScope.size());
}

TEST(BitmapCorpus, QuestionableAndBadFilesDoNoHarm) {
    if (!Have_Corpus()) GTEST_SKIP() << "no .bmp corpus beside the repository";
    int seen = 0;
    for (const char *sub : {"q", "b"}) {
        for (const fs::path &p : Files_In(sub)) {
            SCOPED_TRACE(p.string());
            std::vector<uint8_t> bytes = Read_All(p);
            BITMAP_FILE_TAG bmp{};
            if (Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size())) {
                // What was accepted is whole: every pixel can be read.
                ASSERT_NE(bmp.buffer, nullptr);
                int bits = bmp.info_header.biBitCount;
                int h = bmp.info_header.biHeight < 0 ? -bmp.info_header.biHeight
                                                     : bmp.info_header.biHeight;
                size_t n = (size_t)bmp.info_header.biWidth * h * (bits / 8);
                unsigned sum = 0;
                for (size_t i = 0; i < n; i++)
                    sum += bmp.buffer[i];
                (void)sum;
                EXPECT_TRUE(bits == 8 || bits == 16);
            }
            Unload_Bitmap_File(&bmp);
            seen++;
        }
    }
    EXPECT_GT(seen, 0);
    // Files whose faults reach the pixel data are refused outright.
    for (const char *name :
         {"b/badbitcount.bmp", "b/badplanes.bmp", "b/badwidth.bmp", "b/reallybig.bmp",
          "b/shortfile.bmp", "b/badheadersize.bmp", "b/badpalettesize.bmp", "b/badbitssize.bmp"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes = Read_All(fs::path(kCorpus) / name);
        ASSERT_FALSE(bytes.empty());
        BITMAP_FILE_TAG bmp{};
        EXPECT_EQ(Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size()), 0);
    }
}

namespace {

// SDL's picture of a file: width, height and 8-bit red, green, blue, top row first.
struct Reference {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

int Decode_With_Sdl(const fs::path &bmp, Reference *ref) {
    fs::path out = fs::path(::testing::TempDir()) / ("fw_bmpref_" + bmp.stem().string() + ".raw");
    std::string cmd =
        std::string("\"") + kBmpRef + "\" \"" + bmp.string() + "\" \"" + out.string() + "\"";
    if (std::system(cmd.c_str()) != 0) return 0;
    std::vector<uint8_t> raw = Read_All(out);
    fs::remove(out);
    if (raw.size() < 8) return 0;
    uint32_t w, h;
    std::memcpy(&w, raw.data(), 4);
    std::memcpy(&h, raw.data() + 4, 4);
    if (raw.size() != 8 + (size_t)w * h * 3) return 0;
    ref->w = (int)w;
    ref->h = (int)h;
    ref->rgb.assign(raw.begin() + 8, raw.end());
    return 1;
}

// Loads the file in both packings and compares every pixel with SDL's picture of it.
void Expect_Same_As_Sdl(const fs::path &p) {
    SCOPED_TRACE(p.filename().string());
    Reference ref;
    ASSERT_EQ(Decode_With_Sdl(p, &ref), 1);
    std::vector<uint8_t> bytes = Read_All(p);
    for (int format : {15, 16}) {
        Format_Guard f(format);
        BITMAP_FILE_TAG bmp{};
        ASSERT_EQ(Load_Bitmap_File_Mem(&bmp, bytes.data(), bytes.size()), 1);
        ASSERT_EQ(bmp.info_header.biWidth, ref.w);
        ASSERT_EQ(bmp.info_header.biHeight, ref.h);
        int mismatches = 0;
        for (int y = 0; y < ref.h; y++) {
            for (int x = 0; x < ref.w; x++) {
                const uint8_t *want = &ref.rgb[3 * ((size_t)y * ref.w + x)];
                int r, g, b, wr, wg, wb;
                if (bmp.info_header.biBitCount == 8) {
                    // Palette colours keep all 8 bits.
                    const PALETTEENTRY &e = bmp.palette[bmp.buffer[(size_t)y * ref.w + x]];
                    r = e.peRed, g = e.peGreen, b = e.peBlue;
                    wr = want[0], wg = want[1], wb = want[2];
                } else {
                    USHORT v;
                    std::memcpy(&v, bmp.buffer + 2 * ((size_t)y * ref.w + x), 2);
                    b = v & 31;
                    g = format == 15 ? (v >> 5) & 31 : (v >> 6) & 31;
                    r = format == 15 ? (v >> 10) & 31 : (v >> 11) & 31;
                    wr = want[0] >> 3, wg = want[1] >> 3, wb = want[2] >> 3;
                }
                mismatches += r != wr || g != wg || b != wb;
            }
        }
        EXPECT_EQ(mismatches, 0) << "format " << format;
        Unload_Bitmap_File(&bmp);
    }
}

} // namespace

TEST(BitmapCorpus, InScopeGoodFilesMatchSdl) {
    if (!Have_Corpus()) GTEST_SKIP() << "no .bmp corpus beside the repository";
    if (!kBmpRef) GTEST_SKIP() << "built without the SDL reference decoder";
    int compared = 0;
    for (const fs::path &p : Files_In("g")) {
        if (!kInScope.count(p.stem().string())) continue;
        Expect_Same_As_Sdl(p);
        compared++;
    }
    EXPECT_EQ(compared, (int)kInScope.size());
}

TEST(BitmapCorpus, GeneratedGamePicturesMatchSdl) {
    if (!kArtDir) GTEST_SKIP() << "built without the artwork generator";
    if (!kBmpRef) GTEST_SKIP() << "built without the SDL reference decoder";
    for (const char *name :
         {"ship.bmp", "craft01.bmp", "bullets.bmp", "missiles.bmp", "station00.bmp", "expl.bmp",
          "powerups.bmp", "radar.bmp", "shields.bmp", "rmissile.bmp", "marlotitle.bmp"})
        Expect_Same_As_Sdl(fs::path(kArtDir) / name);
}
