// The generator's own pieces: shape distances and edge coverage, the colour-key rule for
// sprite pixels, sheet layout, and the BMP and PNG writers read back by real decoders.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "tests/tools/genart/sheet.h"
#include "tools/genart/image.h"
#include "tools/genart/raster.h"

namespace {

std::string Temp_Path(const char *name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("fw-art-") + std::to_string(getpid()) + "-" + name))
        .string();
}

const uint8_t *Rgb_At(const Image24 &img, int x, int y) {
    return &img.rgb[(static_cast<size_t>(y) * img.w + x) * 3];
}

void Set_Canvas(Canvas &cv, int x, int y, float r, float g, float b, float a) {
    float *p = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
}

struct Png {
    bool ok = false;
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
};
Png Read_Png(const std::string &path) {
    Png out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGBA;
    out.rgba.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        out.ok = true;
        out.w = static_cast<int>(image.width);
        out.h = static_cast<int>(image.height);
    }
    png_image_free(&image);
    return out;
}

} // namespace

TEST(ArtRaster, PolygonDistanceIsSignedAndExact) {
    const std::vector<V2> square = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    EXPECT_NEAR(Sd_Polygon({0, 0}, square), -1.0f, 1e-6f);
    EXPECT_NEAR(Sd_Polygon({0.5f, 0}, square), -0.5f, 1e-6f);
    EXPECT_NEAR(Sd_Polygon({3, 0}, square), 2.0f, 1e-6f);
    EXPECT_NEAR(Sd_Polygon({2, 2}, square), std::sqrt(2.0f), 1e-6f);
    // The mirrored outline of an upper half is the whole symmetric shape.
    std::vector<V2> diamond = Mirror_Y({{2, 0}, {0, -1}, {-2, 0}});
    ASSERT_EQ(diamond.size(), 4u);
    EXPECT_LT(Sd_Polygon({0, 0.5f}, diamond), 0.0f);
    EXPECT_GT(Sd_Polygon({0, 1.5f}, diamond), 0.0f);
}

TEST(ArtRaster, EdgeCoverageFollowsTheDistance) {
    // A box whose right edge runs down the middle of pixel 5 (x = 5.5) on a 10 x 1 canvas.
    Canvas cv = Make_Canvas(10, 1);
    Place pl = Make_Place(0, 0, 1, 0);
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(p, {0.0f, 0.5f}, 5.5f, 10.0f);
        },
        [](const Hit &) {
            return Rgb{1, 1, 1};
        });
    EXPECT_FLOAT_EQ(cv.px[4 * 4 + 3], 1.0f);
    EXPECT_FLOAT_EQ(cv.px[5 * 4 + 3], 0.5f);
    EXPECT_FLOAT_EQ(cv.px[5 * 4 + 0], 0.5f); // premultiplied: white at half coverage
    EXPECT_FLOAT_EQ(cv.px[6 * 4 + 3], 0.0f);
}

TEST(ArtRaster, TurnedPlacementIsClockwiseOnScreen) {
    // A quarter turn: local +x (the nose) lands below the centre, as heading 9 must.
    Place pl = Make_Place(10, 10, 2, 3.14159265f / 2.0f);
    V2 nose = To_Canvas(pl, {3, 0});
    EXPECT_NEAR(nose.x, 10.0f, 1e-4f);
    EXPECT_NEAR(nose.y, 16.0f, 1e-4f);
    V2 back = To_Local(pl, nose.x, nose.y);
    EXPECT_NEAR(back.x, 3.0f, 1e-4f);
    EXPECT_NEAR(back.y, 0.0f, 1e-4f);
}

TEST(ArtImage, KeyRuleLiftsCoveredPixelsAndClearsFaintGlow) {
    Canvas cv = Make_Canvas(4, 1);
    Set_Canvas(cv, 0, 0, 0.01f, 0.005f, 0.0f, 0.5f); // bytes (3, 1, 0), covered: lifted
    Set_Canvas(cv, 1, 0, 0.02f, 0.0f, 0.0f, 0.0f);   // byte 5, glow only: the key
    Set_Canvas(cv, 2, 0, 0.5f, 0.0f, 0.0f, 0.0f);    // glow bright enough to keep
    Set_Canvas(cv, 3, 0, 0.0f, 0.0f, 0.0f, 1.0f);    // painted black inside a shape
    Image24 img = Make_Image(4, 1);
    Put_Canvas(img, 0, 0, cv);
    // (3, 1, 0) scaled so the brightest channel is 8, rounding up: (8, ceil(8/3) = 3, 0).
    EXPECT_EQ(Rgb_At(img, 0, 0)[0], 8);
    EXPECT_EQ(Rgb_At(img, 0, 0)[1], 3);
    EXPECT_EQ(Rgb_At(img, 0, 0)[2], 0);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(Rgb_At(img, 1, 0)[k], 0);
    EXPECT_EQ(Rgb_At(img, 2, 0)[0], 128); // 0.5 * 255 = 127.5 rounds to 128
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(Rgb_At(img, 3, 0)[k], 8);
}

TEST(ArtImage, OpaqueDitherAveragesToTheTrueLevelInFiveBits) {
    // Mid grey 0.5 is 127.5 on the byte scale, 15.9375 on the game's 5-bit scale. Over one
    // 4 x 4 tile the offsets (b + 0.5) / 2 for b = 0..15 give bytes 127 (once) and 128..135,
    // so the 5-bit values are 15 once and 16 fifteen times: 255 in all, 255 / 16 = 15.9375.
    Canvas grey = Make_Canvas(4, 4), black = Make_Canvas(4, 4), white = Make_Canvas(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            Set_Canvas(grey, x, y, 0.5f, 0.5f, 0.5f, 1.0f);
            Set_Canvas(white, x, y, 1.0f, 1.0f, 1.0f, 1.0f);
        }
    Image24 g = Make_Image(4, 4), b = Make_Image(4, 4), w = Make_Image(4, 4);
    Put_Opaque(g, grey);
    Put_Opaque(b, black);
    Put_Opaque(w, white);
    int sum = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            sum += Rgb_At(g, x, y)[0] >> 3;
            EXPECT_LT(Rgb_At(b, x, y)[1], 8) << "black stays the key colour";
            EXPECT_EQ(Rgb_At(w, x, y)[2], 255) << "white does not wrap";
        }
    EXPECT_EQ(sum, 255);
}

TEST(ArtImage, SheetGridAndWidthRoundedToFour) {
    // 3 x 2 cells of 5 x 4: grid 3 * 6 + 1 = 19 wide (rounded up to 20), 2 * 5 + 1 = 11 high.
    Image24 img = Make_Sheet(3, 2, 5, 4);
    EXPECT_EQ(img.w, 20);
    EXPECT_EQ(img.h, 11);
    EXPECT_EQ(Cell_X(2, 5), 13);
    EXPECT_EQ(Cell_Y(1, 4), 6);
    for (int x : {0, 6, 12, 18})
        EXPECT_EQ(Rgb_At(img, x, 3)[0], 72) << x;
    for (int y : {0, 5, 10})
        EXPECT_EQ(Rgb_At(img, 3, y)[2], 104) << y;
    EXPECT_EQ(Rgb_At(img, 1, 1)[0], 0);  // inside a cell
    EXPECT_EQ(Rgb_At(img, 19, 3)[0], 0); // the padding column is key
}

TEST(ArtImage, BmpWithPaddedRowsReadsBackThroughTheGameLoader) {
    // 5 pixels a row need 15 bytes, padded to 16 in the file.
    Image24 img = Make_Image(5, 3);
    auto set = [&](int x, int y, int r, int g, int b) {
        uint8_t *p = &img.rgb[(static_cast<size_t>(y) * 5 + x) * 3];
        p[0] = static_cast<uint8_t>(r), p[1] = static_cast<uint8_t>(g),
        p[2] = static_cast<uint8_t>(b);
    };
    set(0, 0, 255, 0, 0);
    set(4, 2, 255, 255, 255);
    set(2, 1, 8, 16, 24);
    const std::string path = Temp_Path("padded.bmp");
    ASSERT_TRUE(Write_Bmp(path, img));
    EXPECT_EQ(std::filesystem::file_size(path), 54u + 16u * 3u);
    int saved = dd_pixel_format;
    dd_pixel_format = 15;
    BITMAP_FILE_TAG bmp{};
    ASSERT_EQ(Load_Bitmap_File(&bmp, path.c_str()), 1);
    dd_pixel_format = saved;
    auto px = [&](int x, int y) {
        uint16_t v;
        std::memcpy(&v, bmp.buffer + 2 * (y * 5 + x), 2);
        return v;
    };
    EXPECT_EQ(px(0, 0), 0x7C00);                   // red, top row first
    EXPECT_EQ(px(4, 2), 0x7FFF);                   // white
    EXPECT_EQ(px(2, 1), (1 << 10) | (2 << 5) | 3); // (8, 16, 24) keeps (1, 2, 3)
    EXPECT_EQ(px(1, 1), 0);                        // black is the key
    Unload_Bitmap_File(&bmp);
    std::filesystem::remove(path);
}

TEST(ArtImage, WriteFailsIntoAMissingFolder) {
    Image24 img = Make_Image(4, 4);
    EXPECT_FALSE(Write_Bmp("/nonexistent-folder-fw/x.bmp", img));
    EXPECT_FALSE(Write_Png("/nonexistent-folder-fw/x.png", 4, 4, std::vector<uint8_t>(64, 0)));
}

TEST(ArtImage, PngRoundTripsThroughLibpng) {
    // 3 x 2 RGBA with distinct bytes everywhere, so a misplaced byte shows.
    std::vector<uint8_t> rgba(3 * 2 * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = static_cast<uint8_t>(i * 11 + 3);
    const std::string path = Temp_Path("tiny.png");
    ASSERT_TRUE(Write_Png(path, 3, 2, rgba));
    Png back = Read_Png(path); // libpng checks every CRC and the zlib Adler-32
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.w, 3);
    EXPECT_EQ(back.h, 2);
    EXPECT_EQ(back.rgba, rgba);
    std::filesystem::remove(path);
}

TEST(ArtImage, LargePngSpansSeveralStoredBlocks) {
    // 200 x 100 RGBA is 80100 bytes of scanlines: two stored blocks (65535 + 14565).
    std::vector<uint8_t> rgba(200 * 100 * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = static_cast<uint8_t>((i * 7) ^ (i >> 9));
    const std::string path = Temp_Path("large.png");
    ASSERT_TRUE(Write_Png(path, 200, 100, rgba));
    Png back = Read_Png(path);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.rgba, rgba);
    std::filesystem::remove(path);
}

TEST(ArtIcons, EverySizeIsARoundedOpaqueTile) {
    for (int size : {48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        Png icon =
            Read_Png(std::string(FW_DATA_DIR) + "/icons/farwake-" + std::to_string(size) + ".png");
        ASSERT_TRUE(icon.ok);
        ASSERT_EQ(icon.w, size);
        ASSERT_EQ(icon.h, size);
        auto alpha = [&](int x, int y) {
            return icon.rgba[(static_cast<size_t>(y) * size + x) * 4 + 3];
        };
        EXPECT_EQ(alpha(0, 0), 0) << "rounded corner";
        EXPECT_EQ(alpha(size - 1, size - 1), 0) << "rounded corner";
        EXPECT_EQ(alpha(size / 2, size / 2), 255);
        EXPECT_EQ(alpha(size / 2, size / 16), 255) << "the tile reaches near the edge";
    }
}
