// The picture every generated test bitmap holds, shared by the generator and the tests that read
// its files back: a 7 x 5 pattern (odd width, so 8- and 24-bit rows need padding).
#pragma once
#include <cstdint>

constexpr int BMP_CASE_WIDTH = 7;
constexpr int BMP_CASE_HEIGHT = 5;

// 8-bit colour components of pixel (x, y), the top row being y = 0.
struct Case_Rgb {
    uint8_t r, g, b;
};
// The true-colour picture: every component differs along both axes.
inline Case_Rgb Case_Pixel(int x, int y) {
    return Case_Rgb{(uint8_t)(x * 37 + y * 11), (uint8_t)(x * 5 + y * 53), (uint8_t)((x ^ y) * 40)};
}
// The palette index at (x, y) of a file whose palette has count entries.
inline int Case_Index(int x, int y, int count) {
    return (x * 3 + y * BMP_CASE_WIDTH * 5) % count;
}
// Palette entry i of the 8-bit files.
inline Case_Rgb Case_Palette(int i) {
    return Case_Rgb{(uint8_t)i, (uint8_t)(255 - i), (uint8_t)(i * 7)};
}
