// Bitmap images: pixel blocks cut out of a loaded bitmap and copied into locked surface memory,
// with every block checked against the bitmap and clipped to the destination.
#include <cstdlib>
#include <cstring>

#include "engine/graphics/bitmap.h"

namespace {

// The top-left pixel of the block asked for, in the bitmap's pixels.
void Block_Origin(int cx, int cy, int width, int height, int mode, int64_t *px, int64_t *py) {
    if (mode == EXTRACT_CELL) {
        *px = (int64_t)cx * ((int64_t)width + 1) + 1;
        *py = (int64_t)cy * ((int64_t)height + 1) + 1;
    } else {
        *px = cx;
        *py = cy;
    }
}

int Load_Image(BITMAP_IMAGE_TYP *image, BITMAP_FILE_TAG *bitmap, int cx, int cy, int mode,
               int bytes) {
    if (!image || !bitmap || !bitmap->buffer || !image->buffer) return 0;
    if (image->bpp != bytes * 8 || bitmap->info_header.biBitCount != bytes * 8) return 0;
    if (image->width <= 0 || image->height <= 0) return 0;
    if ((int64_t)image->num_bytes < (int64_t)image->width * image->height * bytes) return 0;
    int64_t bw = bitmap->info_header.biWidth;
    int64_t bh = bitmap->info_header.biHeight < 0 ? -(int64_t)bitmap->info_header.biHeight
                                                  : bitmap->info_header.biHeight;
    int64_t x0, y0;
    Block_Origin(cx, cy, image->width, image->height, mode, &x0, &y0);
    if (x0 < 0 || y0 < 0 || x0 + image->width > bw || y0 + image->height > bh) return 0;
    size_t src_pitch = (size_t)bw * bytes;
    size_t row = (size_t)image->width * bytes;
    const UCHAR *src = bitmap->buffer + (size_t)y0 * src_pitch + (size_t)x0 * bytes;
    UCHAR *dst = image->buffer;
    for (int i = 0; i < image->height; i++) {
        std::memcpy(dst, src, row);
        src += src_pitch;
        dst += row;
    }
    image->attr |= BITMAP_ATTR_LOADED;
    return 1;
}

// The part of an image at (x, y) that lies inside the clip bounds and, when the destination is
// the memory of a known surface, inside that surface; 0 when nothing is left.
struct Span {
    int x0, y0, x1, y1; // destination columns x0..x1-1, rows y0..y1-1
};

int Clip_Image(const BITMAP_IMAGE_TYP *image, const void *dest, Span *s) {
    int64_t left = min_clip_x, top = min_clip_y;
    int64_t right = (int64_t)max_clip_x + 1, bottom = (int64_t)max_clip_y + 1;
    for (LPDIRECTDRAWSURFACE4 surf : {lpddsback, lpddsprimary}) {
        if (surf && !surf->memory.empty() && dest == surf->memory.data()) {
            if (right > surf->width) right = surf->width;
            if (bottom > surf->height) bottom = surf->height;
        }
    }
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    int64_t x0 = image->x, y0 = image->y;
    int64_t x1 = x0 + image->width, y1 = y0 + image->height;
    if (x0 < left) x0 = left;
    if (y0 < top) y0 = top;
    if (x1 > right) x1 = right;
    if (y1 > bottom) y1 = bottom;
    if (x0 >= x1 || y0 >= y1) return 0;
    *s = Span{(int)x0, (int)y0, (int)x1, (int)y1};
    return 1;
}

template <typename Pixel>
int Draw_Image(BITMAP_IMAGE_TYP *image, Pixel *dest, int64_t stride, int transparent) {
    if (!image || !(image->attr & BITMAP_ATTR_LOADED)) return 0;
    if (!image->buffer || !dest || image->bpp != (int)sizeof(Pixel) * 8) return 0;
    if (image->width <= 0 || image->height <= 0 || stride <= 0) return 0;
    if ((int64_t)image->num_bytes < (int64_t)image->width * image->height * (int)sizeof(Pixel))
        return 0;
    Span s;
    if (!Clip_Image(image, dest, &s)) return 1; // wholly outside: nothing to draw
    const Pixel *src = reinterpret_cast<const Pixel *>(image->buffer);
    int cols = s.x1 - s.x0;
    for (int y = s.y0; y < s.y1; y++) {
        const Pixel *from = src + (size_t)(y - image->y) * image->width + (s.x0 - image->x);
        Pixel *to = dest + y * stride + s.x0;
        if (!transparent) {
            std::memcpy(to, from, (size_t)cols * sizeof(Pixel));
            continue;
        }
        for (int i = 0; i < cols; i++)
            if (from[i] != 0) to[i] = from[i];
    }
    return 1;
}

} // namespace

int Create_Bitmap_Image(BITMAP_IMAGE_TYP *image, int x, int y, int width, int height, int bpp) {
    if (!image) return 0;
    int bytes = bpp >> 3;
    if (width <= 0 || height <= 0 || bytes <= 0 || width > BITMAP_MAX_DIM ||
        height > BITMAP_MAX_DIM || bytes > 4) {
        image->buffer = nullptr;
        return 0;
    }
    size_t num_bytes = (size_t)width * (size_t)height * (size_t)bytes;
    UCHAR *block = (UCHAR *)std::calloc(num_bytes, 1);
    if (!block) {
        image->buffer = nullptr;
        return 0;
    }
    image->state = 1;
    image->attr = 0;
    image->width = width;
    image->height = height;
    image->bpp = bpp;
    image->x = x;
    image->y = y;
    image->num_bytes = (int)num_bytes;
    image->buffer = block;
    return 1;
}

int Destroy_Bitmap_Image(BITMAP_IMAGE_TYP *image) {
    if (!image || !image->buffer) return 0;
    std::free(image->buffer);
    std::memset(image, 0, sizeof *image);
    return 1;
}

int Load_Bitmap_Image(BITMAP_IMAGE_TYP *image, BITMAP_FILE_TAG *bitmap, int cx, int cy, int mode) {
    return Load_Image(image, bitmap, cx, cy, mode, 1);
}

int Load_Bitmap_Image16(BITMAP_IMAGE_TYP *image, BITMAP_FILE_TAG *bitmap, int cx, int cy,
                        int mode) {
    return Load_Image(image, bitmap, cx, cy, mode, 2);
}

int Draw_Bitmap_Image(BITMAP_IMAGE_TYP *image, UCHAR *dest_buffer, int lpitch, int transparent) {
    return Draw_Image(image, dest_buffer, lpitch, transparent);
}

int Draw_Bitmap_Image16(BITMAP_IMAGE_TYP *image, USHORT *dest_buffer, int lpitch, int transparent) {
    return Draw_Image(image, dest_buffer, lpitch >> 1, transparent);
}
