// Small software rasteriser for the artwork generator: premultiplied float canvases, shapes
// given as signed distance functions with analytic edge coverage, lighting and value noise. Its
// maths is exact:: (tools/genmath), never the C library's, so every system draws the same bytes.
#pragma once
#include "tools/genmath/exact_math.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

inline constexpr float kPi = 3.14159265358979f;

struct V2 {
    float x, y;
};
struct V3 {
    float x, y, z;
};
struct Rgb {
    float r, g, b;
};

inline V2 operator+(V2 a, V2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline V2 operator-(V2 a, V2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline V2 operator*(V2 a, float k) {
    return {a.x * k, a.y * k};
}
inline float Dot(V2 a, V2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float Len(V2 a) {
    return std::sqrt(a.x * a.x + a.y * a.y);
}
inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator*(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Rgb operator*(Rgb a, Rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline float Clamp01(float v) {
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}
inline Rgb Mix(Rgb a, Rgb b, float t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}
inline float Smooth(float e0, float e1, float v) {
    float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
// Colour from 0..255 components, the way artists pick them.
inline Rgb Hex(int r, int g, int b) {
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

// Premultiplied colour and solid coverage per pixel; light added by glows carries no coverage.
struct Canvas {
    int w = 0, h = 0;
    std::vector<float> px; // r, g, b, a per pixel
};

// A blank (black, uncovered) canvas of the given size.
Canvas Make_Canvas(int w, int h);

// Where a sprite sits on a canvas: pixel = centre + scale * rotate(angle) * local. Local +x is
// the sprite's forward direction; with y growing downward a positive angle turns clockwise.
struct Place {
    float cx, cy, scale, c, s;
};

// A placement of a sprite centred at (cx, cy), turned by angle radians, scale pixels per unit.
Place Make_Place(float cx, float cy, float scale, float angle);
// Canvas pixel position to local coordinates.
V2 To_Local(const Place &pl, float px, float py);
// Local point to canvas pixel position.
V2 To_Canvas(const Place &pl, V2 p);
// Direction toward the scene's light (upper left, above the screen) in local coordinates.
V3 Light_Local(const Place &pl);

// What a shader is told about a point of a shape.
struct Hit {
    V2 p;     // local position
    float d;  // signed distance to the shape's edge, local units, negative inside
    V2 g;     // outward unit gradient of the distance
    V3 light; // direction toward the light, local coordinates
    float px; // local units per pixel
};

using Sdf = std::function<float(V2)>;
using Shader = std::function<Rgb(const Hit &)>;

// Paints a shape over the canvas with anti-aliased edges (coverage from the distance).
void Fill(Canvas &cv, const Place &pl, const Sdf &sdf, const Shader &shade, float opacity = 1.0f);
// Darkens (scales) the colour of painted surfaces inside a shape: panel lines and shadows.
void Darken(Canvas &cv, const Place &pl, const Sdf &sdf, float keep);
// Adds light without coverage: glows, flames, halos.
void Glow(Canvas &cv, const Place &pl, const std::function<Rgb(V2)> &light);

// Signed distance primitives (negative inside).
float Sd_Circle(V2 p, V2 c, float r);
float Sd_Ellipse(V2 p, V2 c, float rx, float ry);
float Sd_Box(V2 p, V2 c, float hx, float hy, float round = 0.0f);
float Sd_Segment(V2 p, V2 a, V2 b, float r);
float Sd_Polygon(V2 p, const std::vector<V2> &v);
// The polygon and its mirror image across the x axis, as one outline listed upper half first.
std::vector<V2> Mirror_Y(const std::vector<V2> &upper);

// Lit colour of a surface: ambient plus diffuse plus a white highlight.
Rgb Shade(Rgb base, V3 n, V3 light, float ambient, float specular, float shine);
// Normal of a rounded bevel of the given width at a shape's edge.
V3 Bevel_Normal(const Hit &h, float width, float tilt = 0.85f);
// Painted metal: rounded at the edges, lit, with a gloss of the given strength and sharpness.
Shader Metal(Rgb base, float bevel, float specular = 0.4f, float shine = 16.0f);

// Smooth value noise in 0..1, the same for the same seed.
float Noise(float x, float y, uint32_t seed);
// Sum of octaves of Noise, in 0..1.
float Fbm(float x, float y, uint32_t seed, int octaves);
// Deterministic pseudo-random number in 0..1 from a counter.
float Hash01(uint32_t n);
