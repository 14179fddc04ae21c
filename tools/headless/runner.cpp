// The headless runner's pictures: presented frames in true colours and as PNG files.
#include "tools/headless/runner.h"

#include <png.h>

#include <bit>
#include <cstdio>
#include <cstring>

std::vector<uint8_t> Frame_To_Rgb(const uint16_t *px, int width, int height, int pitch_bytes,
                                  int packing) {
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    const uint8_t *base = (const uint8_t *)px;
    for (int y = 0; y < height; y++) {
        const uint16_t *src = (const uint16_t *)(base + (size_t)y * pitch_bytes);
        for (int x = 0; x < width; x++) {
            unsigned p = src[x], r, g, b;
            b = p & 31;
            if (packing == 16) {
                r = (p >> 11) & 31;
                g = (p >> 5) & 63;
                g = (g << 2) | (g >> 4);
            } else {
                r = (p >> 10) & 31;
                g = (p >> 5) & 31;
                g = (g << 3) | (g >> 2);
            }
            uint8_t *out = &rgb[((size_t)y * width + x) * 3];
            out[0] = (uint8_t)((r << 3) | (r >> 2));
            out[1] = (uint8_t)g;
            out[2] = (uint8_t)((b << 3) | (b >> 2));
        }
    }
    return rgb;
}

int Write_Png(const char *path, const std::vector<uint8_t> &rgb, int width, int height) {
    if (width <= 0 || height <= 0 || rgb.size() < (size_t)width * height * 3) return 0;
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    int ok = png_image_write_to_file(&image, path, 0, rgb.data(), width * 3, nullptr);
    png_image_free(&image);
    return ok ? 1 : 0;
}
