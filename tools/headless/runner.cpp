// The headless runner's pictures: presented frames in true colours and as PNG files.
#include "tools/headless/runner.h"

#include <png.h>

#include <bit>
#include <cstdio>
#include <cstring>

#include "engine/graphics/output_file.h"

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

int Write_Png(const char *path, const std::vector<uint8_t> &rgb, int width, int height,
              std::string *error) {
    if (width <= 0 || height <= 0 || rgb.size() < (size_t)width * height * 3) {
        if (error) *error = std::string("cannot write ") + path + ": no picture to write";
        return 0;
    }
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    // Encoded in memory first, so the file's own write can say why it failed.
    png_alloc_size_t size = 0;
    int ok = png_image_write_get_memory_size(image, size, 0, rgb.data(), width * 3, nullptr);
    std::vector<uint8_t> bytes(ok ? size : 0);
    if (ok)
        ok = png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), width * 3,
                                       nullptr);
    png_image_free(&image);
    if (!ok) {
        if (error) *error = std::string("cannot write ") + path + ": the picture cannot be encoded";
        return 0;
    }
    OUTPUT_FILE_TYP out;
    if (Output_Open(&out, path, "wb")) Output_Write(&out, bytes.data(), (size_t)size, 1);
    if (Output_Close(&out)) return 1;
    if (error) *error = Output_Failure(out);
    return 0;
}
