// Fuzzes the triangle and polygon drawers with arbitrary coordinates: every write must land in
// the clip rectangle of a buffer with guard bands around it (the sanitizers catch the rest).
#include "engine/graphics/draw2d.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int take(const uint8_t *&p, size_t &n) {
    int v = 0;
    size_t k = n < 4 ? n : 4;
    std::memcpy(&v, p, k);
    p += k;
    n -= k;
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    constexpr int W = 96, H = 64;
    static std::vector<USHORT> px(W * H);
    static std::vector<UCHAR> px8(W * H);
    std::fill(px.begin(), px.end(), 0);
    std::fill(px8.begin(), px8.end(), 0);
    min_clip_x = 8;
    max_clip_x = 87;
    min_clip_y = 8;
    max_clip_y = 55;
    UCHAR *buf = (UCHAR *)px.data();
    while (size >= 4) {
        int op = take(data, size) & 7;
        int v[6];
        for (int &c : v)
            c = take(data, size);
        switch (op) {
        case 0:
            Draw_Triangle16(v[0], v[1], v[2], v[3], v[4], v[5], 0xFFFF, buf, W * 2);
            break;
        case 1:
            Draw_Triangle_Fixed16(v[0], v[1], v[2], v[3], v[4], v[5], 0xFFFF, buf, W * 2);
            break;
        case 2:
            Draw_Triangle(v[0], v[1], v[2], v[3], v[4], v[5], 0xFF, px8.data(), W);
            break;
        case 3:
            Draw_Triangle_Fixed(v[0], v[1], v[2], v[3], v[4], v[5], 0xFF, px8.data(), W);
            break;
        default: {
            VERTEX_TYP vl[3];
            for (int k = 0; k < 3; k++) {
                float fx, fy;
                std::memcpy(&fx, &v[2 * k], 4);
                std::memcpy(&fy, &v[2 * k + 1], 4);
                vl[k] = {op == 4 ? fx : (float)(v[2 * k] % 4000),
                         op == 4 ? fy : (float)(v[2 * k + 1] % 4000)};
            }
            POLYGON_TYP poly = {1, 3, 48, 32, 0, 0, 0xFFFF, vl};
            if (op == 7)
                Draw_Polygon16(&poly, buf, W * 2);
            else
                Draw_Filled_Polygon16(&poly, buf, W * 2);
        }
        }
    }
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            if ((x < 8 || x > 87 || y < 8 || y > 55) && (px[y * W + x] || px8[y * W + x]))
                std::abort();
    return 0;
}
