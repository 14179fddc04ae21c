// Software rasteriser of the artwork generator: shape filling with analytic coverage,
// glows, distance primitives, lighting and noise.
#include "tools/genart/raster.h"

#include <algorithm>

Canvas Make_Canvas(int w, int h) {
    Canvas cv;
    cv.w = w;
    cv.h = h;
    cv.px.assign(static_cast<size_t>(w) * h * 4, 0.0f);
    return cv;
}

Place Make_Place(float cx, float cy, float scale, float angle) {
    return {cx, cy, scale, exact::Cos(angle), exact::Sin(angle)};
}

V2 To_Local(const Place &pl, float px, float py) {
    float dx = (px - pl.cx) / pl.scale, dy = (py - pl.cy) / pl.scale;
    return {dx * pl.c + dy * pl.s, -dx * pl.s + dy * pl.c};
}

V2 To_Canvas(const Place &pl, V2 p) {
    return {pl.cx + pl.scale * (p.x * pl.c - p.y * pl.s),
            pl.cy + pl.scale * (p.x * pl.s + p.y * pl.c)};
}

V3 Light_Local(const Place &pl) {
    // Upper left of the screen and toward the viewer; fixed on screen whatever the heading.
    const float lx = -0.55f, ly = -0.62f, lz = 0.56f;
    float n = std::sqrt(lx * lx + ly * ly + lz * lz);
    return {(lx * pl.c + ly * pl.s) / n, (-lx * pl.s + ly * pl.c) / n, lz / n};
}

void Fill(Canvas &cv, const Place &pl, const Sdf &sdf, const Shader &shade, float opacity) {
    const float upp = 1.0f / pl.scale; // local units per pixel
    const float e = 0.35f * upp;
    V3 light = Light_Local(pl);
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            V2 p = To_Local(pl, x + 0.5f, y + 0.5f);
            float d = sdf(p);
            float cov = Clamp01(0.5f - d / upp) * opacity;
            if (cov <= 0.0f) continue;
            float gx = sdf({p.x + e, p.y}) - sdf({p.x - e, p.y});
            float gy = sdf({p.x, p.y + e}) - sdf({p.x, p.y - e});
            float gl = std::sqrt(gx * gx + gy * gy);
            V2 g = gl > 1e-9f ? V2{gx / gl, gy / gl} : V2{0.0f, 0.0f};
            Rgb c = shade(Hit{p, d, g, light, upp});
            float *o = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            o[0] = o[0] * (1.0f - cov) + Clamp01(c.r) * cov;
            o[1] = o[1] * (1.0f - cov) + Clamp01(c.g) * cov;
            o[2] = o[2] * (1.0f - cov) + Clamp01(c.b) * cov;
            o[3] = o[3] * (1.0f - cov) + cov;
        }
}

void Darken(Canvas &cv, const Place &pl, const Sdf &sdf, float keep) {
    const float upp = 1.0f / pl.scale;
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            float cov = Clamp01(0.5f - sdf(To_Local(pl, x + 0.5f, y + 0.5f)) / upp);
            if (cov <= 0.0f) continue;
            float k = 1.0f - cov * (1.0f - keep);
            float *o = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            if (o[3] <= 0.0f) continue; // shadows fall on surfaces, not on glows
            o[0] *= k;
            o[1] *= k;
            o[2] *= k;
        }
}

void Glow(Canvas &cv, const Place &pl, const std::function<Rgb(V2)> &light) {
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            Rgb c = light(To_Local(pl, x + 0.5f, y + 0.5f));
            float *o = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            o[0] = std::min(1.0f, o[0] + std::max(0.0f, c.r));
            o[1] = std::min(1.0f, o[1] + std::max(0.0f, c.g));
            o[2] = std::min(1.0f, o[2] + std::max(0.0f, c.b));
        }
}

float Sd_Circle(V2 p, V2 c, float r) {
    return Len(p - c) - r;
}

float Sd_Ellipse(V2 p, V2 c, float rx, float ry) {
    // Scaled-circle distance, corrected by the gradient length: close enough for coverage.
    V2 q = p - c;
    float k0 = std::sqrt(q.x * q.x / (rx * rx) + q.y * q.y / (ry * ry));
    float k1 = std::sqrt(q.x * q.x / (rx * rx * rx * rx) + q.y * q.y / (ry * ry * ry * ry));
    if (k1 < 1e-9f) return -std::min(rx, ry);
    return k0 * (k0 - 1.0f) / k1;
}

float Sd_Box(V2 p, V2 c, float hx, float hy, float round) {
    float qx = std::fabs(p.x - c.x) - hx + round, qy = std::fabs(p.y - c.y) - hy + round;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - round;
}

float Sd_Segment(V2 p, V2 a, V2 b, float r) {
    V2 pa = p - a, ba = b - a;
    float l2 = Dot(ba, ba);
    float t = l2 > 0.0f ? Clamp01(Dot(pa, ba) / l2) : 0.0f;
    return Len(pa - ba * t) - r;
}

float Sd_Polygon(V2 p, const std::vector<V2> &v) {
    size_t n = v.size();
    float d = Dot(p - v[0], p - v[0]);
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        V2 e = v[j] - v[i], w = p - v[i];
        float t = Clamp01(Dot(w, e) / Dot(e, e));
        V2 b = w - e * t;
        d = std::min(d, Dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) inside = !inside;
    }
    return inside ? -std::sqrt(d) : std::sqrt(d);
}

std::vector<V2> Mirror_Y(const std::vector<V2> &upper) {
    std::vector<V2> out(upper);
    for (size_t i = upper.size(); i-- > 0;)
        if (upper[i].y != 0.0f) out.push_back({upper[i].x, -upper[i].y});
    return out;
}

Rgb Shade(Rgb base, V3 n, V3 light, float ambient, float specular, float shine) {
    float diff = std::max(0.0f, n.x * light.x + n.y * light.y + n.z * light.z);
    // Blinn half vector between the light and the viewer straight above.
    V3 h = {light.x, light.y, light.z + 1.0f};
    float hl = std::sqrt(h.x * h.x + h.y * h.y + h.z * h.z);
    float nh = std::max(0.0f, (n.x * h.x + n.y * h.y + n.z * h.z) / hl);
    float s = specular * exact::Pow(nh, shine);
    float k = ambient + (1.0f - ambient) * diff;
    return {base.r * k + s, base.g * k + s, base.b * k + s};
}

V3 Bevel_Normal(const Hit &h, float width, float tilt) {
    float u = Clamp01(1.0f + h.d / width) * tilt; // 0 in the flat middle, tilt at the edge
    float z = std::sqrt(std::max(0.0f, 1.0f - u * u));
    return {h.g.x * u, h.g.y * u, z};
}

Shader Metal(Rgb base, float bevel, float specular, float shine) {
    return [=](const Hit &h) {
        return Shade(base, Bevel_Normal(h, bevel), h.light, 0.32f, specular, shine);
    };
}

float Hash01(uint32_t n) {
    n ^= n >> 16;
    n *= 0x7feb352dU;
    n ^= n >> 15;
    n *= 0x846ca68bU;
    n ^= n >> 16;
    return (n & 0xFFFFFF) / 16777216.0f;
}

namespace {

float Lattice(int x, int y, uint32_t seed) {
    return Hash01(static_cast<uint32_t>(x) * 0x9E3779B1U ^ static_cast<uint32_t>(y) * 0x85EBCA77U ^
                  seed * 0xC2B2AE3DU);
}

} // namespace

float Noise(float x, float y, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return Mix(Mix(a, b, tx), Mix(c, d, tx), ty);
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * Noise(x, y, seed + i * 101U);
        norm += amp;
        amp *= 0.5f;
        // Turn each octave a little so the lattice's axes do not show.
        float nx = 1.62f * x - 1.18f * y + 17.1f, ny = 1.18f * x + 1.62f * y - 9.7f;
        x = nx;
        y = ny;
    }
    return sum / norm;
}
