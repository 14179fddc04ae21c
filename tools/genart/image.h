// Pictures as the generator writes them: 24-bit images, sprite sheets with 1-pixel cell
// borders, and the BMP and PNG file writers.
#pragma once
#include "tools/genart/raster.h"

#include <cstdint>
#include <string>
#include <vector>

// A 24-bit picture, rows top first, 3 bytes a pixel in red, green, blue order.
struct Image24 {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

// The dimmest a shape's pixel may be: every channel below 8 would become 0 (the colour key)
// once the game keeps only the top 5 bits of each.
inline constexpr int kMinVisible = 8;

// A black picture of the given size.
Image24 Make_Image(int w, int h);
// A sheet of cols x rows cells of cw x ch pixels with a border line around every cell; the
// width is rounded up to a multiple of 4 so that 24-bit rows need no padding.
Image24 Make_Sheet(int cols, int rows, int cw, int ch);
// Top-left pixel of cell (cx, cy) of a sheet with cells of cw x ch pixels.
inline int Cell_X(int cx, int cw) {
    return cx * (cw + 1) + 1;
}
inline int Cell_Y(int cy, int ch) {
    return cy * (ch + 1) + 1;
}
// Copies a canvas into the picture at (x0, y0): uncovered dark pixels become exactly black,
// covered ones are kept at least kMinVisible bright in their brightest channel.
void Put_Canvas(Image24 &img, int x0, int y0, const Canvas &cv);
// Copies a canvas wholly opaque (backgrounds), dithered for 5 bits a channel; no key rule.
void Put_Opaque(Image24 &img, const Canvas &cv);
// Writes an uncompressed bottom-up 24-bit Windows bitmap; false when the file cannot be written.
bool Write_Bmp(const std::string &path, const Image24 &img);
// Writes an RGBA PNG with stored (uncompressed) deflate blocks; false on a write failure.
bool Write_Png(const std::string &path, int w, int h, const std::vector<uint8_t> &rgba);
// Converts a canvas to straight RGBA bytes for the icons.
std::vector<uint8_t> Canvas_Rgba(const Canvas &cv);
