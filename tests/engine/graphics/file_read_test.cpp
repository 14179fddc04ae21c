// The bitmap loader reading files: headers first, then only the bytes the pixels need, giving the
// same picture as the in-memory loader; oversized, lying and non-file paths are refused.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/bitmap.h"
#include "tests/engine/graphics/bmp_builder.h"

namespace {

std::string Write_Temp(const char *name, const std::vector<uint8_t> &b) {
    std::string path = ::testing::TempDir() + "fw_bmpfile_" + std::to_string(getpid()) + name;
    FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f) {
        EXPECT_EQ(b.empty() ? 0 : std::fwrite(b.data(), 1, b.size(), f), b.size());
        std::fclose(f);
    }
    return path;
}

size_t Pixel_Bytes(const BITMAP_FILE_TAG &b) {
    return (size_t)b.info_header.biWidth * (size_t)b.info_header.biHeight *
           (b.info_header.biBitCount == 8 ? 1 : 2);
}

// Loads bytes from memory and from a file of the same bytes; both must agree in every field.
void Expect_Same_From_File(const std::vector<uint8_t> &bytes, const char *what) {
    SCOPED_TRACE(what);
    BITMAP_FILE_TAG mem{}, file{};
    ASSERT_EQ(Load_Bitmap_File_Mem(&mem, bytes.data(), bytes.size()), 1);
    std::string path = Write_Temp(".bmp", bytes);
    ASSERT_EQ(Load_Bitmap_File(&file, path.c_str()), 1);
    std::remove(path.c_str());
    EXPECT_EQ(std::memcmp(&mem.file_header, &file.file_header, sizeof mem.file_header), 0);
    EXPECT_EQ(std::memcmp(&mem.info_header, &file.info_header, sizeof mem.info_header), 0);
    EXPECT_EQ(std::memcmp(mem.palette, file.palette, sizeof mem.palette), 0);
    ASSERT_EQ(Pixel_Bytes(mem), Pixel_Bytes(file));
    EXPECT_EQ(std::memcmp(mem.buffer, file.buffer, Pixel_Bytes(mem)), 0);
    Unload_Bitmap_File(&mem);
    Unload_Bitmap_File(&file);
}

std::vector<uint8_t> With_Tail(std::vector<uint8_t> b, size_t n, uint8_t fill) {
    b.insert(b.end(), n, fill);
    return b;
}

TEST(BitmapFileRead, FileAndMemoryLoadsAgree) {
    int saved = dd_pixel_format;
    dd_pixel_format = 16;
    Bmp_Parts rgb;
    rgb.width = 3;
    rgb.height = 2;
    for (int i = 0; i < 24; i++)
        rgb.pixels.push_back((uint8_t)(i * 37));
    Expect_Same_From_File(Build_Bmp(rgb), "24-bit padded rows");
    Expect_Same_From_File(With_Tail(Build_Bmp(rgb), 5000, 0xAB), "24-bit with bytes after it");

    Bmp_Parts pal;
    pal.bits = 8;
    pal.width = 4;
    pal.height = -2;
    pal.clr_used = 3;
    pal.between = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    pal.pixels = {0, 1, 2, 1, 2, 1, 0, 0};
    Expect_Same_From_File(Build_Bmp(pal), "8-bit top-down, short palette");
    // No pixel offset: the pixels are the file's last bytes, so bytes after the picture move
    // them; file and memory must still agree on where they are.
    pal.off_bits = 0;
    pal.size_image = 8;
    Expect_Same_From_File(With_Tail(Build_Bmp(pal), 8, 2), "8-bit, pixels at the end");

    Bmp_Parts bf;
    bf.bits = 16;
    bf.compression = 3;
    bf.width = 2;
    bf.height = 2;
    bf.between = Masks(0xF800, 0x07E0, 0x001F);
    bf.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF};
    Expect_Same_From_File(Build_Bmp(bf), "16-bit bit fields");

    Bmp_Parts core;
    core.header_size = 12;
    core.bits = 8;
    core.width = 2;
    core.height = 1;
    core.between = {10, 20, 30, 40, 50, 60};
    core.pixels = {1, 0, 0, 0};
    Expect_Same_From_File(Build_Bmp(core), "OS/2 header, 3-byte palette");

    Bmp_Parts unpadded;
    unpadded.width = 1;
    unpadded.height = 2;
    unpadded.size_image = 6;
    unpadded.pixels = {0, 0, 255, 255, 0, 0};
    Expect_Same_From_File(Build_Bmp(unpadded), "unpadded rows");
    dd_pixel_format = saved;
}

TEST(BitmapFileRead, LyingAndOversizedFilesAreRefusedAndLeaveTheRecord) {
    Bmp_Parts p;
    p.width = 2;
    p.height = 2;
    p.pixels.assign(16, 0x55);
    std::vector<uint8_t> good = Build_Bmp(p);
    BITMAP_FILE_TAG bmp{};
    std::string path = Write_Temp("lie.bmp", good);
    ASSERT_EQ(Load_Bitmap_File(&bmp, path.c_str()), 1);
    UCHAR *held = bmp.buffer;

    // A header claiming 100 x 100 over a file that holds 2 x 2.
    std::vector<uint8_t> lie = good;
    lie[18] = 100;
    lie[22] = 100;
    path = Write_Temp("lie.bmp", lie);
    EXPECT_EQ(Load_Bitmap_File(&bmp, path.c_str()), 0);
    // Every truncation into the pixels is refused: 14 + 40 header bytes, a first stored row of
    // 6 pixel bytes and 2 of padding, a last row of 6 (its padding is never read) make 68.
    ASSERT_EQ(good.size(), 70u);
    for (size_t n = 0; n < 68; n++) {
        path = Write_Temp("lie.bmp", std::vector<uint8_t>(good.begin(), good.begin() + (long)n));
        EXPECT_EQ(Load_Bitmap_File(&bmp, path.c_str()), 0) << n;
    }
    // Over a GiB is more than any picture: refused from its size alone (a sparse file).
    path = Write_Temp("lie.bmp", good);
    ASSERT_EQ(truncate(path.c_str(), (1LL << 30) + 1), 0);
    EXPECT_EQ(Load_Bitmap_File(&bmp, path.c_str()), 0);
    std::remove(path.c_str());
    // Folders and devices are not pictures.
    EXPECT_EQ(Load_Bitmap_File(&bmp, ::testing::TempDir().c_str()), 0);
    EXPECT_EQ(Load_Bitmap_File(&bmp, "/dev/zero"), 0);
    EXPECT_EQ(bmp.buffer, held);
    path = Write_Temp("lie.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 68));
    EXPECT_EQ(Load_Bitmap_File(&bmp, path.c_str()), 1);
    std::remove(path.c_str());
    Unload_Bitmap_File(&bmp);
}

long Peak_Kib() {
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

TEST(BitmapFileRead, OnlyThePictureIsReadFromAHugeFile) {
    // A 2 x 2 picture followed by 512 MiB (sparse) that no pixel lies in: it loads, and the
    // peak memory of the process grows by far less than the file (the tail is never read).
    Bmp_Parts p;
    p.width = 2;
    p.height = 2;
    p.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    std::vector<uint8_t> good = Build_Bmp(p);
    std::string path = Write_Temp("huge.bmp", good);
    ASSERT_EQ(truncate(path.c_str(), 512LL << 20), 0);
    long before = Peak_Kib();
    BITMAP_FILE_TAG file{}, mem{};
    ASSERT_EQ(Load_Bitmap_File(&file, path.c_str()), 1);
    long grown = Peak_Kib() - before;
    std::remove(path.c_str());
    EXPECT_LT(grown, 64L * 1024) << "KiB";
    ASSERT_EQ(Load_Bitmap_File_Mem(&mem, good.data(), good.size()), 1);
    EXPECT_EQ(std::memcmp(mem.buffer, file.buffer, Pixel_Bytes(mem)), 0);
    Unload_Bitmap_File(&mem);
    Unload_Bitmap_File(&file);
}

} // namespace
