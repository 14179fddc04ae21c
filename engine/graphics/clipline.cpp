// Straight lines clipped to the display's clip rectangle (region codes) and drawn with
// Bresenham's stepping into locked 8- or 16-bit surface memory.
#include "engine/graphics/clock.h"
#include "engine/graphics/clipline.h"

enum { CODE_LEFT = 1, CODE_RIGHT = 2, CODE_BELOW = 4, CODE_ABOVE = 8 };

namespace {

int region_code(int x, int y) {
    int code = 0;
    if (x < min_clip_x)
        code |= CODE_LEFT;
    else if (x > max_clip_x)
        code |= CODE_RIGHT;
    if (y < min_clip_y)
        code |= CODE_ABOVE;
    else if (y > max_clip_y)
        code |= CODE_BELOW;
    return code;
}

// Where the segment (x0,y0)-(x1,y1) crosses the row y (or, below, the column x). The product
// comes before the quotient, which truncates toward zero; 64 bits keep far endpoints exact.
int cross_row(int x0, int y0, int x1, int y1, int y) {
    return (int)(x0 + (long long)(x1 - x0) * (y - y0) / (y1 - y0));
}
int cross_column(int x0, int y0, int x1, int y1, int x) {
    return (int)(y0 + (long long)(y1 - y0) * (x - x0) / (x1 - x0));
}

// Moves the endpoint (x, y) with the given code onto the edge the code names, along the segment
// to (ox, oy). A corner code prefers the top or bottom edge unless that crossing misses the
// rectangle's columns.
void move_onto_edge(int code, int &x, int &y, int ox, int oy) {
    const int x0 = x, y0 = y;
    if (code & (CODE_ABOVE | CODE_BELOW)) {
        const int edge = (code & CODE_ABOVE) ? min_clip_y : max_clip_y;
        const int cx = cross_row(x0, y0, ox, oy, edge);
        if (!(code & (CODE_LEFT | CODE_RIGHT)) || (cx >= min_clip_x && cx <= max_clip_x)) {
            x = cx;
            y = edge;
            return;
        }
    }
    const int edge = (code & CODE_LEFT) ? min_clip_x : max_clip_x;
    y = cross_column(x0, y0, ox, oy, edge);
    x = edge;
}

// Clips the segment in place; 1 if anything is left, 0 if it is rejected.
int clip_segment(int &x0, int &y0, int &x1, int &y1) {
    const int code0 = region_code(x0, y0), code1 = region_code(x1, y1);
    if ((code0 | code1) == 0) return 1;
    if (code0 & code1) return 0;
    // Both crossings are taken from the original segment.
    const int ox0 = x0, oy0 = y0, ox1 = x1, oy1 = y1;
    if (code0) move_onto_edge(code0, x0, y0, ox1, oy1);
    if (code1) move_onto_edge(code1, x1, y1, ox0, oy0);
    if (region_code(x0, y0) || region_code(x1, y1)) return 0;
    return 1;
}

// Bresenham over the longer axis, both endpoints written; stride is in pixels.
template <typename Pixel>
void draw_line(int x0, int y0, int x1, int y1, Pixel color, Pixel *base, int stride) {
    int dx = x1 - x0, dy = y1 - y0;
    const int x_inc = dx >= 0 ? 1 : -1;
    const int y_inc = dy >= 0 ? stride : -stride;
    if (dx < 0) dx = -dx;
    if (dy < 0) dy = -dy;
    Pixel *p = base + (long)y0 * stride + x0;
    if (dx >= dy) {
        int error = 2 * dy - dx;
        for (int i = 0;; i++) {
            *p = color;
            if (i == dx) break;
            if (error >= 0) {
                error -= 2 * dx;
                p += y_inc;
            }
            error += 2 * dy;
            p += x_inc;
        }
    } else {
        int error = 2 * dx - dy;
        for (int i = 0;; i++) {
            *p = color;
            if (i == dy) break;
            if (error >= 0) {
                error -= 2 * dy;
                p += x_inc;
            }
            error += 2 * dx;
            p += y_inc;
        }
    }
}

} // namespace

int Draw_Clipped_Line16(int x0, int y0, int x1, int y1, int color, UCHAR *dest_buffer, int lpitch) {
    if (!dest_buffer) return 0;
    if (clip_segment(x0, y0, x1, y1))
        draw_line<USHORT>(x0, y0, x1, y1, (USHORT)color, (USHORT *)dest_buffer, lpitch / 2);
    return 1;
}

int Draw_Clipped_Line8(int x0, int y0, int x1, int y1, int color, UCHAR *dest_buffer, int lpitch) {
    if (!dest_buffer) return 0;
    if (clip_segment(x0, y0, x1, y1))
        draw_line<UCHAR>(x0, y0, x1, y1, (UCHAR)color, dest_buffer, lpitch);
    return 1;
}
