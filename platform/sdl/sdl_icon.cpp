// The SDL backend's window icon reader: a PNG file (the generated icon) into RGBA pixels.
#include "platform/sdl/sdl_internal.h"
#include <png.h>
#include <cstring>

// An icon is small; anything larger is not the generated one and is refused unread.
static constexpr png_uint_32 MAX_ICON_SIDE = 1024;

int Sdl_Load_Icon(const char *path, std::vector<uint32_t> *rgba, int *w, int *h) {
    if (!path || !rgba || !w || !h) return 0;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return 0;
    if (image.width == 0 || image.height == 0 || image.width > MAX_ICON_SIDE ||
        image.height > MAX_ICON_SIDE) {
        png_image_free(&image);
        return 0;
    }
    image.format = PNG_FORMAT_RGBA;
    rgba->assign((size_t)image.width * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, rgba->data(), 0, nullptr)) {
        png_image_free(&image);
        return 0;
    }
    *w = (int)image.width;
    *h = (int)image.height;
    return 1;
}
