// The SDL backend's window icon reader: a PNG file (the generated icon) into RGBA pixels. The
// file comes from outside, so its size and the picture's are checked before anything is kept.
#include "platform/sdl/sdl_icon.h"
#include "platform/os/os_file.h"
#include <png.h>
#include <cstdio>
#include <cstring>

namespace {

// An icon is small; anything larger is not the generated one and is refused unread.
constexpr png_uint_32 MAX_ICON_SIDE = 1024;
constexpr long MAX_ICON_FILE = 4L << 20;

} // namespace

int Sdl_Decode_Icon(const void *data, size_t size, std::vector<uint32_t> *rgba, int *w, int *h) {
    if (!data || size == 0 || !rgba || !w || !h) return 0;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return 0;
    if (image.width == 0 || image.height == 0 || image.width > MAX_ICON_SIDE ||
        image.height > MAX_ICON_SIDE) {
        png_image_free(&image);
        return 0;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint32_t> pixels((size_t)image.width * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return 0;
    }
    rgba->swap(pixels);
    *w = (int)image.width;
    *h = (int)image.height;
    return 1;
}

int Sdl_Load_Icon(const char *path, std::vector<uint32_t> *rgba, int *w, int *h) {
    if (!path) return 0;
    FILE *f = Os_Fopen(path, "rb");
    if (!f) return 0;
    std::vector<uint8_t> bytes;
    uint8_t chunk[16384];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if ((long)(bytes.size() + n) > MAX_ICON_FILE) {
            std::fclose(f);
            return 0;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    std::fclose(f);
    return Sdl_Decode_Icon(bytes.data(), bytes.size(), rgba, w, h);
}
