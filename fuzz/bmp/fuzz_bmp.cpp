// Fuzz target: any bytes as a .bmp file (then an image cut from what was accepted and drawn
// half off the edge), the same bytes read from a file (which must give the same picture), and
// the same bytes as a palette text file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/bitmap.h"
#include "engine/graphics/clock.h"
#include "engine/graphics/palette.h"
#include "fuzz/fuzz_file.h"

namespace {

// The file loader reads the headers, then only the bytes the pixels need: it must agree with the
// loader given the whole file in memory, in its answer and in every byte it fills in.
void Check_File_Load(const uint8_t *data, size_t size, int mem_ok, const BITMAP_FILE_TAG &mem) {
    std::string path = Fuzz_File(data, size);
    if (path.empty()) return;
    BITMAP_FILE_TAG file{};
    int file_ok = Load_Bitmap_File(&file, path.c_str());
    if (file_ok != mem_ok) __builtin_trap();
    if (file_ok) {
        size_t n = (size_t)mem.info_header.biWidth * (size_t)mem.info_header.biHeight *
                   (mem.info_header.biBitCount == 8 ? 1 : 2);
        if (std::memcmp(&file.info_header, &mem.info_header, sizeof mem.info_header) != 0 ||
            std::memcmp(file.palette, mem.palette, sizeof mem.palette) != 0 ||
            std::memcmp(file.buffer, mem.buffer, n) != 0)
            __builtin_trap();
    }
    Unload_Bitmap_File(&file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    dd_pixel_format = (size & 1) ? 15 : 16;
    BITMAP_FILE_TAG bmp{};
    int mem_ok = Load_Bitmap_File_Mem(&bmp, data, size);
    Check_File_Load(data, size, mem_ok, bmp);
    if (mem_ok) {
        int bits = bmp.info_header.biBitCount;
        BITMAP_IMAGE_TYP img{};
        if (Create_Bitmap_Image(&img, -3, -2, 8, 6, bits)) {
            int ok = bits == 16 ? Load_Bitmap_Image16(&img, &bmp, 1, 0, EXTRACT_CELL)
                                : Load_Bitmap_Image(&img, &bmp, 1, 0, EXTRACT_CELL);
            if (ok) {
                min_clip_x = min_clip_y = 0;
                max_clip_x = max_clip_y = 15;
                std::vector<USHORT> dest(16 * 16);
                if (bits == 16)
                    Draw_Bitmap_Image16(&img, dest.data(), 32, size & 2);
                else
                    Draw_Bitmap_Image(&img, (UCHAR *)dest.data(), 16, size & 2);
            }
            Destroy_Bitmap_Image(&img);
        }
        Unload_Bitmap_File(&bmp);
    }
    if (size > 0) {
        FILE *fp = fmemopen(const_cast<uint8_t *>(data), size, "r");
        if (fp) {
            PALETTEENTRY pal[256];
            Read_Palette_Stream(fp, pal);
            std::fclose(fp);
        }
    }
    return 0;
}
