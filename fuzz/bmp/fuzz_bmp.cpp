// Fuzz target: any bytes as a .bmp file (then an image cut from what was accepted and drawn
// half off the edge), and the same bytes as a palette text file.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/graphics/bitmap.h"
#include "engine/graphics/clock.h"
#include "engine/graphics/palette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    dd_pixel_format = (size & 1) ? 15 : 16;
    BITMAP_FILE_TAG bmp{};
    if (Load_Bitmap_File_Mem(&bmp, data, size)) {
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
