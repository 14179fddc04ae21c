// Filled triangles: float-edge and 16.16 fixed-point scan conversion, 8-bit and 16-bit pixels.
// Edges and clip tests are computed wide (float, double, 64-bit) so that any coordinates, however
// far off the surface, only ever write inside the clip rectangle.
#include "engine/graphics/draw2d.h"
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Largest magnitude an edge position is allowed to reach before it is turned into an int.
constexpr float kFarAway = 1.0e9f;

int to_int(float v) {
    if (!(v > -kFarAway)) return -(int)kFarAway; // also catches NaN
    if (v > kFarAway) return (int)kFarAway;
    return (int)v;
}

template <typename Px> void fill_span(UCHAR *row, int left, int right, int color) {
    if (right < left) return;
    if constexpr (sizeof(Px) == 1) {
        std::memset(row + left, color & 0xFF, (size_t)(right - left + 1));
    } else {
        Fill_Words((USHORT *)row + left, (USHORT)color, right - left + 1);
    }
}

bool all_inside_x(int x1, int x2, int x3) {
    return x1 >= min_clip_x && x1 <= max_clip_x && x2 >= min_clip_x && x2 <= max_clip_x &&
           x3 >= min_clip_x && x3 <= max_clip_x;
}

// Fills rows y_top..y_bottom between two float edges; rows outside the clip rectangle are skipped.
template <typename Px>
void float_rows(float xs, float xe, float dx_left, float dx_right, int y_top, int y_bottom,
                bool inside, int color, UCHAR *buffer, int lpitch) {
    if (y_top < min_clip_y) {
        float skip = (float)min_clip_y - (float)y_top;
        xs += dx_left * skip;
        xe += dx_right * skip;
        y_top = min_clip_y;
    }
    if (y_bottom > max_clip_y) y_bottom = max_clip_y;
    for (int y = y_top; y <= y_bottom; y++, xs += dx_left, xe += dx_right) {
        UCHAR *row = buffer + (ptrdiff_t)y * lpitch;
        int left = to_int(xs), right = to_int(xe);
        // Even with every vertex inside, float steps summed over many rows can drift a pixel
        // past an edge lying on the clip border, so the span is always clamped.
        (void)inside;
        if (left < min_clip_x) left = min_clip_x;
        if (right > max_clip_x) right = max_clip_x;
        fill_span<Px>(row, left, right, color);
    }
}

template <typename Px>
void flat_top(int x1, int y1, int x2, int /*y2*/, int x3, int y3, int color, UCHAR *buffer,
              int lpitch) {
    if (y3 <= y1) return;
    if (x2 < x1) std::swap(x1, x2);
    float height = (float)y3 - (float)y1;
    float dx_left = ((float)x3 - (float)x1) / height;
    float dx_right = ((float)x3 - (float)x2) / height;
    // The right edge starts half a pixel right so that truncation rounds it.
    float_rows<Px>((float)x1, (float)x2 + 0.5f, dx_left, dx_right, y1, y3, all_inside_x(x1, x2, x3),
                   color, buffer, lpitch);
}

template <typename Px>
void flat_bottom(int x1, int y1, int x2, int /*y2*/, int x3, int y3, int color, UCHAR *buffer,
                 int lpitch) {
    if (y3 <= y1) return;
    if (x3 < x2) std::swap(x2, x3);
    float height = (float)y3 - (float)y1;
    float dx_left = ((float)x2 - (float)x1) / height;
    float dx_right = ((float)x3 - (float)x1) / height;
    float_rows<Px>((float)x1, (float)x1, dx_left, dx_right, y1, y3, all_inside_x(x1, x2, x3), color,
                   buffer, lpitch);
}

// 16.16 fixed-point edges, 64 bits wide so that far-away vertices cannot overflow.
constexpr int64_t kFixLimit = (int64_t)1 << 61;

int64_t fix_skip(int64_t start, int64_t step, int64_t rows) {
    double v = (double)start + (double)step * (double)rows;
    if (v > (double)kFixLimit) return kFixLimit;
    if (v < -(double)kFixLimit) return -kFixLimit;
    return start + step * rows;
}

template <typename Px>
void fixed_rows(int64_t xs, int64_t xe, int64_t dx_left, int64_t dx_right, int y_top, int y_bottom,
                bool inside, int color, UCHAR *buffer, int lpitch) {
    if (y_top < min_clip_y) {
        int64_t skip = (int64_t)min_clip_y - y_top;
        xs = fix_skip(xs, dx_left, skip);
        xe = fix_skip(xe, dx_right, skip);
        y_top = min_clip_y;
    }
    if (y_bottom > max_clip_y) y_bottom = max_clip_y;
    for (int y = y_top; y <= y_bottom; y++, xs += dx_left, xe += dx_right) {
        UCHAR *row = buffer + (ptrdiff_t)y * lpitch;
        int64_t left = (xs + 0x8000) >> 16, right = (xe + 0x8000) >> 16;
        (void)inside;
        if (left < min_clip_x) left = min_clip_x;
        if (right > max_clip_x) right = max_clip_x;
        fill_span<Px>(row, (int)left, (int)right, color);
    }
}

template <typename Px>
void flat_top_fixed(int x1, int y1, int x2, int /*y2*/, int x3, int y3, int color, UCHAR *buffer,
                    int lpitch) {
    if (y3 <= y1) return;
    if (x2 < x1) std::swap(x1, x2);
    int64_t height = (int64_t)y3 - y1;
    int64_t dx_left = (((int64_t)x3 - x1) * 65536) / height;
    int64_t dx_right = (((int64_t)x3 - x2) * 65536) / height;
    fixed_rows<Px>((int64_t)x1 * 65536, (int64_t)x2 * 65536, dx_left, dx_right, y1, y3,
                   all_inside_x(x1, x2, x3), color, buffer, lpitch);
}

template <typename Px>
void flat_bottom_fixed(int x1, int y1, int x2, int /*y2*/, int x3, int y3, int color, UCHAR *buffer,
                       int lpitch) {
    if (y3 <= y1) return;
    if (x3 < x2) std::swap(x2, x3);
    int64_t height = (int64_t)y3 - y1;
    int64_t dx_left = (((int64_t)x2 - x1) * 65536) / height;
    int64_t dx_right = (((int64_t)x3 - x1) * 65536) / height;
    fixed_rows<Px>((int64_t)x1 * 65536, (int64_t)x1 * 65536, dx_left, dx_right, y1, y3,
                   all_inside_x(x1, x2, x3), color, buffer, lpitch);
}

using Piece = void (*)(int, int, int, int, int, int, int, UCHAR *, int);

// Sorts, rejects and splits a triangle into its flat pieces.
void triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *buffer, int lpitch,
              Piece top, Piece bottom) {
    if (!buffer) return;
    if ((x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3)) return;
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (y3 < y1) {
        std::swap(x1, x3);
        std::swap(y1, y3);
    }
    if (y3 < y2) {
        std::swap(x2, x3);
        std::swap(y2, y3);
    }
    if (y3 < min_clip_y || y1 > max_clip_y) return;
    if (x1 < min_clip_x && x2 < min_clip_x && x3 < min_clip_x) return;
    if (x1 > max_clip_x && x2 > max_clip_x && x3 > max_clip_x) return;
    if (y1 == y2) {
        top(x1, y1, x2, y2, x3, y3, color, buffer, lpitch);
    } else if (y2 == y3) {
        bottom(x1, y1, x2, y2, x3, y3, color, buffer, lpitch);
    } else {
        // The split point on the long edge, rounded to the nearest column.
        float t = ((float)y2 - (float)y1) * ((float)x3 - (float)x1) / ((float)y3 - (float)y1);
        int new_x = to_int((float)x1 + (float)to_int(t + 0.5f));
        bottom(x1, y1, new_x, y2, x2, y2, color, buffer, lpitch);
        top(x2, y2, new_x, y2, x3, y3, color, buffer, lpitch);
    }
}

} // namespace

void Fill_Words(USHORT *dest, USHORT value, int count) {
    for (int i = 0; i < count; i++)
        dest[i] = value;
}

void Draw_Flat_Top_Triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b,
                            int p) {
    flat_top<uint8_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}
void Draw_Flat_Bottom_Triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b,
                               int p) {
    flat_bottom<uint8_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}
void Draw_Flat_Top_Triangle16(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b,
                              int p) {
    flat_top<uint16_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}
void Draw_Flat_Bottom_Triangle16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                 UCHAR *b, int p) {
    flat_bottom<uint16_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}
void Draw_Flat_Top_TriangleFP(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b,
                              int p) {
    flat_top_fixed<uint8_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}
void Draw_Flat_Bottom_TriangleFP(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                 UCHAR *b, int p) {
    flat_bottom_fixed<uint8_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}
void Draw_Flat_Top_TriangleFP16(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b,
                                int p) {
    flat_top_fixed<uint16_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}
void Draw_Flat_Bottom_TriangleFP16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                   UCHAR *b, int p) {
    flat_bottom_fixed<uint16_t>(x1, y1, x2, y2, x3, y3, color, b, p);
}

void Draw_Triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b, int p) {
    triangle(x1, y1, x2, y2, x3, y3, color, b, p, Draw_Flat_Top_Triangle,
             Draw_Flat_Bottom_Triangle);
}
void Draw_Triangle16(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b, int p) {
    triangle(x1, y1, x2, y2, x3, y3, color, b, p, Draw_Flat_Top_Triangle16,
             Draw_Flat_Bottom_Triangle16);
}
void Draw_Triangle_Fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b,
                         int p) {
    triangle(x1, y1, x2, y2, x3, y3, color, b, p, Draw_Flat_Top_TriangleFP,
             Draw_Flat_Bottom_TriangleFP);
}
void Draw_Triangle_Fixed16(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *b,
                           int p) {
    triangle(x1, y1, x2, y2, x3, y3, color, b, p, Draw_Flat_Top_TriangleFP16,
             Draw_Flat_Bottom_TriangleFP16);
}
