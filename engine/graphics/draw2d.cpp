// Pixels, straight lines, polygons and their transforms, 3x2 matrices, distance approximations,
// colour scans, the 8-bit cell loader and the full-screen transitions.
#include "engine/graphics/draw2d.h"
#include "engine/graphics/clock.h"
#include "engine/graphics/clipline.h"
#include "engine/graphics/fmath.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

float poly_sin_table[360];
float poly_cos_table[360];

namespace {

constexpr float kFarAway = 1.0e9f;

int to_int(float v) {
    if (!(v > -kFarAway)) return -(int)kFarAway;
    if (v > kFarAway) return (int)kFarAway;
    return (int)v;
}

// Angles outside -360..359 would index past the tables; whole turns are taken off first.
int table_angle(int theta) {
    theta %= 360;
    if (theta < 0) theta += 360;
    return theta;
}

USHORT *row16(UCHAR *buffer, int y, int lpitch) {
    return (USHORT *)buffer + (ptrdiff_t)y * (lpitch >> 1);
}

} // namespace

void Build_Polygon_Trig_Tables() {
    for (int i = 0; i < 360; i++) {
        double angle = (double)i * 3.1415926535 / 180.0;
        poly_cos_table[i] = (float)Fm_Cos(angle);
        poly_sin_table[i] = (float)Fm_Sin((double)(float)angle);
    }
}

int Draw_Pixel(int x, int y, int color, UCHAR *dest_buffer, int lpitch) {
    dest_buffer[(ptrdiff_t)y * lpitch + x] = (UCHAR)color;
    return 1;
}

int Draw_Pixel16(int x, int y, int color, UCHAR *dest_buffer, int lpitch) {
    row16(dest_buffer, y, lpitch)[x] = (USHORT)color;
    return 1;
}

namespace {

// Orders and clamps a span to lo..hi; false when nothing of it is left.
bool clip_span(int &a, int &b, int lo, int hi) {
    if (a > b) std::swap(a, b);
    if (a > hi || b < lo) return false;
    a = std::max(a, lo);
    b = std::min(b, hi);
    return true;
}

} // namespace

void Draw_HLine(int x1, int x2, int y, int color, UCHAR *dest_buffer, int lpitch) {
    if (y < min_clip_y || y > max_clip_y || !clip_span(x1, x2, min_clip_x, max_clip_x)) return;
    std::memset(dest_buffer + (ptrdiff_t)y * lpitch + x1, color & 0xFF, (size_t)(x2 - x1 + 1));
}

void Draw_VLine(int y1, int y2, int x, int color, UCHAR *dest_buffer, int lpitch) {
    if (x < min_clip_x || x > max_clip_x || !clip_span(y1, y2, min_clip_y, max_clip_y)) return;
    for (int y = y1; y <= y2; y++)
        dest_buffer[(ptrdiff_t)y * lpitch + x] = (UCHAR)color;
}

void Draw_HLine16(int x1, int x2, int y, int color, UCHAR *dest_buffer, int lpitch) {
    if (y < min_clip_y || y > max_clip_y || !clip_span(x1, x2, min_clip_x, max_clip_x)) return;
    Fill_Words(row16(dest_buffer, y, lpitch) + x1, (USHORT)color, x2 - x1 + 1);
}

void Draw_VLine16(int y1, int y2, int x, int color, UCHAR *dest_buffer, int lpitch) {
    if (x < min_clip_x || x > max_clip_x || !clip_span(y1, y2, min_clip_y, max_clip_y)) return;
    for (int y = y1; y <= y2; y++)
        row16(dest_buffer, y, lpitch)[x] = (USHORT)color;
}

// ---- polygons ---------------------------------------------------------------------------------

namespace {

// Screen position of vertex i: the polygon's position plus the vertex, truncated.
void vertex_at(const POLYGON_TYP *poly, int i, int &x, int &y) {
    x = to_int((float)poly->x0 + poly->vlist[i].x);
    y = to_int((float)poly->y0 + poly->vlist[i].y);
}

// Every row from the top vertex to the bottom one is filled between the leftmost and rightmost
// crossings of the outline; rows and spans are kept inside the clip rectangle, because a polygon
// moved partly off screen must never write outside the surface.
template <typename Px> void filled_polygon(POLYGON_TYP *poly, UCHAR *buffer, int lpitch) {
    if (!poly || !buffer || !poly->vlist || poly->num_verts < 1) return;
    int n = poly->num_verts;
    int tx, ty;
    vertex_at(poly, 0, tx, ty);
    int ymin = ty, ymax = ty;
    for (int i = 1; i < n; i++) {
        int x, y;
        vertex_at(poly, i, x, y);
        ymin = std::min(ymin, y);
        ymax = std::max(ymax, y);
    }
    int y0 = std::max(ymin, min_clip_y), y1 = std::min(ymax, max_clip_y);
    for (int y = y0; y <= y1; y++) {
        int64_t left = INT64_MAX, right = INT64_MIN;
        for (int i = 0; i < n; i++) {
            int xa, ya, xb, yb;
            vertex_at(poly, i, xa, ya);
            vertex_at(poly, (i + 1) % n, xb, yb);
            if (y < std::min(ya, yb) || y > std::max(ya, yb)) continue;
            if (ya == yb) {
                left = std::min<int64_t>(left, std::min(xa, xb));
                right = std::max<int64_t>(right, std::max(xa, xb));
                continue;
            }
            int64_t x = xa + ((int64_t)(y - ya) * ((int64_t)xb - xa)) / ((int64_t)yb - ya);
            left = std::min(left, x);
            right = std::max(right, x);
        }
        if (left > right || left > max_clip_x || right < min_clip_x) continue;
        int l = (int)std::max<int64_t>(left, min_clip_x),
            r = (int)std::min<int64_t>(right, max_clip_x);
        if constexpr (sizeof(Px) == 1) {
            std::memset(buffer + (ptrdiff_t)y * lpitch + l, (int)(poly->color & 0xFF),
                        (size_t)(r - l + 1));
        } else {
            Fill_Words(row16(buffer, y, lpitch) + l, (USHORT)poly->color, r - l + 1);
        }
    }
}

} // namespace

void Draw_Filled_Polygon(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch) {
    filled_polygon<uint8_t>(poly, dest_buffer, lpitch);
}

void Draw_Filled_Polygon16(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch) {
    filled_polygon<uint16_t>(poly, dest_buffer, lpitch);
}

using LineFn = int (*)(int, int, int, int, int, UCHAR *, int);

namespace {

int outline(POLYGON_TYP *poly, UCHAR *buffer, int lpitch, LineFn line) {
    if (!poly || poly->state == 0) return 0;
    if (!poly->vlist || poly->num_verts < 1) return 1;
    int n = poly->num_verts;
    for (int i = 0; i < n; i++) {
        int xa, ya, xb, yb;
        vertex_at(poly, i, xa, ya);
        vertex_at(poly, (i + 1) % n, xb, yb);
        line(xa, ya, xb, yb, (int)poly->color, buffer, lpitch);
    }
    return 1;
}

} // namespace

int Draw_Polygon(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch) {
    return outline(poly, dest_buffer, lpitch, Draw_Clipped_Line8);
}

int Draw_Polygon16(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch) {
    return outline(poly, dest_buffer, lpitch, Draw_Clipped_Line16);
}

int Translate_Polygon(POLYGON_TYP *poly, int dx, int dy) {
    if (!poly) return 0;
    poly->x0 += dx;
    poly->y0 += dy;
    return 1;
}

int Rotate_Polygon(POLYGON_TYP *poly, int theta) {
    if (!poly) return 0;
    theta = table_angle(theta);
    float c = poly_cos_table[theta], s = poly_sin_table[theta];
    for (int i = 0; i < poly->num_verts && poly->vlist; i++) {
        float x = poly->vlist[i].x, y = poly->vlist[i].y;
        poly->vlist[i].x = x * c - y * s;
        poly->vlist[i].y = x * s + y * c;
    }
    return 1;
}

int Scale_Polygon(POLYGON_TYP *poly, float sx, float sy) {
    if (!poly) return 0;
    for (int i = 0; i < poly->num_verts && poly->vlist; i++) {
        poly->vlist[i].x *= sx;
        poly->vlist[i].y *= sy;
    }
    return 1;
}

int Find_Polygon_Bounds(POLYGON_TYP *poly, float &min_x, float &max_x, float &min_y, float &max_y) {
    if (!poly || !poly->vlist || poly->num_verts <= 0) return 0;
    min_x = max_x = min_y = max_y = 0;
    for (int i = 0; i < poly->num_verts; i++) {
        min_x = std::min(min_x, poly->vlist[i].x);
        max_x = std::max(max_x, poly->vlist[i].x);
        min_y = std::min(min_y, poly->vlist[i].y);
        max_y = std::max(max_y, poly->vlist[i].y);
    }
    return 1;
}

// ---- matrices ---------------------------------------------------------------------------------

int Matrix_Init_3x2(MAT3X2_TYP *ma, float m00, float m01, float m10, float m11, float m20,
                    float m21) {
    ma->M[0][0] = m00;
    ma->M[0][1] = m01;
    ma->M[1][0] = m10;
    ma->M[1][1] = m11;
    ma->M[2][0] = m20;
    ma->M[2][1] = m21;
    return 1;
}

int Matrix_Mul_3x3(MAT3X3_TYP *ma, MAT3X3_TYP *mb, MAT3X3_TYP *mprod) {
    MAT3X3_TYP p;
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++) {
            float sum = 0;
            for (int k = 0; k < 3; k++)
                sum += ma->M[r][k] * mb->M[k][c];
            p.M[r][c] = sum;
        }
    *mprod = p;
    return 1;
}

int Matrix_Mul_1x3_3x3(MAT1X3_TYP *ma, MAT3X3_TYP *mb, MAT1X3_TYP *mprod) {
    MAT1X3_TYP p;
    for (int c = 0; c < 3; c++) {
        float sum = 0;
        for (int k = 0; k < 3; k++)
            sum += ma->M[k] * mb->M[k][c];
        p.M[c] = sum;
    }
    *mprod = p;
    return 1;
}

int Matrix_Mul_1x2_3x2(MAT1X2_TYP *ma, MAT3X2_TYP *mb, MAT1X2_TYP *mprod) {
    MAT1X2_TYP p;
    for (int c = 0; c < 2; c++)
        p.M[c] = ma->M[0] * mb->M[0][c] + ma->M[1] * mb->M[1][c] + mb->M[2][c];
    *mprod = p;
    return 1;
}

int Translate_Polygon_Mat(POLYGON_TYP *poly, int dx, int dy) {
    if (!poly) return 0;
    MAT3X2_TYP m;
    Matrix_Init_3x2(&m, 1, 0, 0, 1, (float)dx, (float)dy);
    MAT1X2_TYP p = {{(float)poly->x0, (float)poly->y0}}, r;
    Matrix_Mul_1x2_3x2(&p, &m, &r);
    poly->x0 = to_int(r.M[0]);
    poly->y0 = to_int(r.M[1]);
    return 1;
}

namespace {

// Multiplies every vertex by a 3x2 matrix whose translation row is zero.
void transform_vertices(POLYGON_TYP *poly, MAT3X2_TYP *m) {
    for (int i = 0; i < poly->num_verts && poly->vlist; i++) {
        MAT1X2_TYP p = {{poly->vlist[i].x, poly->vlist[i].y}}, r;
        Matrix_Mul_1x2_3x2(&p, m, &r);
        poly->vlist[i].x = r.M[0];
        poly->vlist[i].y = r.M[1];
    }
}

} // namespace

int Rotate_Polygon_Mat(POLYGON_TYP *poly, int theta) {
    if (!poly) return 0;
    theta = table_angle(theta);
    float c = poly_cos_table[theta], s = poly_sin_table[theta];
    MAT3X2_TYP m;
    Matrix_Init_3x2(&m, c, s, -s, c, 0, 0);
    transform_vertices(poly, &m);
    return 1;
}

int Scale_Polygon_Mat(POLYGON_TYP *poly, float sx, float sy) {
    if (!poly) return 0;
    MAT3X2_TYP m;
    Matrix_Init_3x2(&m, sx, 0, 0, sy, 0, 0);
    transform_vertices(poly, &m);
    return 1;
}

// ---- distances --------------------------------------------------------------------------------

int Approx_Distance_2D(int x, int y) {
    // Absolute values are taken in 64 bits: the most negative int has no positive twin.
    int64_t ax = std::llabs((long long)x), ay = std::llabs((long long)y);
    int64_t m = std::min(ax, ay);
    int64_t d = ax + ay - (m >> 1) - (m >> 2) + (m >> 4);
    return d > INT32_MAX ? INT32_MAX : (int)d; // lengths past the int range saturate
}

float Approx_Distance_3D(float fx, float fy, float fz) {
    auto scaled = [](float v) -> int64_t {
        double d = std::fabs((double)v) * 1024.0;
        return d < 9.0e15 ? (int64_t)d : (int64_t)9.0e15; // NaN lands here too
    };
    int64_t x = scaled(fx), y = scaled(fy), z = scaled(fz);
    if (y < x) std::swap(x, y);
    if (z < y) std::swap(y, z);
    if (y < x) std::swap(x, y);
    int64_t dist = z + 11 * (y >> 5) + (x >> 2);
    return (float)(dist >> 10);
}
