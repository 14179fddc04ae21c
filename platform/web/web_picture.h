// The page's picture as the canvas's bytes, kept between presents: each present converts only the
// spans of rows that changed since the last one and names the rectangle the canvas must take.
#pragma once
#include <cstdint>
#include <vector>

// A rectangle of the picture; w == 0 means nothing changed.
struct Web_Rect {
    int x, y, w, h;
};

// The 16-bit picture the canvas shows and its bytes R, G, B, A per pixel (a little-endian word).
struct Web_Picture {
    int width = 0, height = 0, packing = 0;
    std::vector<uint16_t> shown;
    std::vector<uint32_t> rgba;
};

// The canvas's word for one 16-bit pixel of packing 15 (x555) or 16 (565).
uint32_t Web_Pixel_Rgba(uint16_t pixel, int packing);

// Brings picture's bytes up to pixels (pitch_bytes a row, packing 15 or 16) and returns the
// smallest rectangle holding every pixel that changed; the whole picture after a change of size
// or packing. Bad arguments change nothing and return an empty rectangle.
Web_Rect Web_Picture_Update(Web_Picture *picture, const uint16_t *pixels, int width, int height,
                            int pitch_bytes, int packing);
