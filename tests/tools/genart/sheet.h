// Reading the generated pictures in the tests: a sheet loaded by the game's bitmap loader in
// the 5.5.5 packing, with access to its cells by the game's cell formula.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/bitmap.h"

struct Sheet {
    bool ok = false;
    int w = 0, h = 0;
    std::vector<uint16_t> px; // 5.5.5, top row first
    // Pixels outside the sheet read as key: a sheet of the wrong size fails the size test
    // and the others cleanly instead of reading out of bounds.
    uint16_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0;
        return px[static_cast<size_t>(y) * w + x];
    }
};

// Loads FW_DATA_DIR/name with Load_Bitmap_File while the packing is 5.5.5.
inline Sheet Load_Sheet(const char *name) {
    Sheet s;
    int saved = dd_pixel_format;
    dd_pixel_format = 15;
    BITMAP_FILE_TAG bmp{};
    std::string path = std::string(FW_DATA_DIR) + "/" + name;
    if (Load_Bitmap_File(&bmp, path.c_str()) == 1 && bmp.buffer &&
        bmp.info_header.biBitCount == 16) {
        s.ok = true;
        s.w = bmp.info_header.biWidth;
        s.h = bmp.info_header.biHeight < 0 ? -bmp.info_header.biHeight : bmp.info_header.biHeight;
        s.px.resize(static_cast<size_t>(s.w) * s.h);
        std::memcpy(s.px.data(), bmp.buffer, s.px.size() * 2);
    }
    Unload_Bitmap_File(&bmp);
    dd_pixel_format = saved;
    return s;
}

// One frame cut from a sheet: cell (cx, cy) of cw x ch starts at cx*(cw+1)+1, cy*(ch+1)+1.
struct Cell {
    int w = 0, h = 0;
    std::vector<uint16_t> px;
    uint16_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    int R(int x, int y) const { return (At(x, y) >> 10) & 31; }
    int G(int x, int y) const { return (At(x, y) >> 5) & 31; }
    int B(int x, int y) const { return At(x, y) & 31; }
};

inline Cell Cut(const Sheet &s, int cx, int cy, int cw, int ch) {
    Cell c;
    c.w = cw;
    c.h = ch;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            c.px.push_back(s.At(cx * (cw + 1) + 1 + x, cy * (ch + 1) + 1 + y));
    return c;
}

// Number of non-key pixels of a frame.
inline int Opaque_Count(const Cell &c) {
    int n = 0;
    for (uint16_t v : c.px)
        n += v != 0;
    return n;
}
