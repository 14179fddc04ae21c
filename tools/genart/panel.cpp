// Painters of the instrument panel's pictures: the shield gauge, the radar corner pieces and
// the missile meter's missile.
#include "tools/genart/art.h"

#include <algorithm>
#include <string>

namespace {

// Distance to an arc band of radius r and half thickness t between two angles (clockwise).
float Sd_Arc(V2 p, float r, float t, float a0, float a1) {
    float a = exact::Atan2(p.y, p.x);
    float mid = 0.5f * (a0 + a1), half = 0.5f * (a1 - a0);
    float rel = std::remainder(a - mid, 2.0f * kPi);
    float band = std::fabs(Len(p) - r) - t;
    float ang = (std::fabs(rel) - half) * Len(p); // arc length past the end
    return std::max(band, ang);
}

} // namespace

void Paint_Shield_Gauge(Canvas &cv, int level) {
    Place pl = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, 0.0f);
    static const Rgb level_colour[4] = {
        {1.0f, 0.2f, 0.15f}, {1.0f, 0.6f, 0.1f}, {0.9f, 0.9f, 0.2f}, {0.2f, 0.8f, 1.0f}};
    const Rgb lit = level_colour[3], digit = level_colour[level & 3];
    // Bezel: a thin dark steel ring.
    Fill(
        cv, pl, [](V2 p) { return std::fabs(Len(p) - 42.5f) - 1.6f; },
        Metal(Hex(90, 100, 120), 1.2f));
    // Three arc segments, clockwise from the top; segment i is lit while the level is above i.
    for (int i = 0; i < 3; ++i) {
        float a0 = -kPi / 2.0f + i * 2.0f * kPi / 3.0f + 0.16f, a1 = a0 + 2.0f * kPi / 3.0f - 0.32f;
        bool on = i < level;
        if (on)
            Glow(cv, pl, [=](V2 p) {
                float d = std::max(0.0f, Sd_Arc(p, 34.0f, 4.0f, a0, a1));
                return lit * (0.55f * exact::Exp(-d * d / 8.0f));
            });
        Fill(
            cv, pl, [=](V2 p) { return Sd_Arc(p, 34.0f, 4.0f, a0, a1); },
            [=](const Hit &h) {
                float t = Clamp01(-h.d / 3.0f);
                return on ? Mix(lit * 0.7f, Rgb{0.85f, 1.0f, 1.0f}, t * 0.8f)
                          : Mix(Hex(30, 38, 56), Hex(46, 58, 84), t);
            });
    }
    // The level as a big digit in the middle.
    std::string s(1, static_cast<char>('0' + (level & 3)));
    const float h = 34.0f, sw = 2.6f;
    const float x = -Text_Width(s, h) * 0.5f, y = -h * 0.5f;
    Glow(cv, pl, [=](V2 p) {
        float d = std::max(0.0f, Sd_Text(p, s, x, y, h, sw));
        return digit * (0.45f * exact::Exp(-d * d / 10.0f));
    });
    Fill(
        cv, pl, [=](V2 p) { return Sd_Text(p, s, x, y, h, sw); },
        [=](const Hit &hit) {
            return Mix(digit, Rgb{1.0f, 1.0f, 1.0f}, 0.55f * Clamp01(-hit.d / sw));
        });
}

void Paint_Radar_Corner(Canvas &cv, int corner) {
    // Corner bracket in local coordinates of the top-left piece, mirrored for the others.
    const bool right = corner & 1, bottom = corner & 2;
    Place pl = Make_Place(0.0f, 0.0f, 1.0f, 0.0f);
    auto bracket = [=](V2 p) {
        V2 q = {right ? 10.0f - p.x : p.x, bottom ? 10.0f - p.y : p.y};
        return std::min(Sd_Box(q, {5.0f, 1.25f}, 5.0f, 1.25f),
                        Sd_Box(q, {1.25f, 5.0f}, 1.25f, 5.0f));
    };
    Fill(cv, pl, bracket, [=](const Hit &h) {
        V2 q = {right ? 10.0f - h.p.x : h.p.x, bottom ? 10.0f - h.p.y : h.p.y};
        float inner = std::min(q.x, q.y); // 0 at the outer edge
        return Mix(Hex(120, 255, 150), Hex(20, 150, 70), Clamp01(inner / 2.5f));
    });
    // A small bright dot at the very corner.
    Fill(
        cv, pl,
        [=](V2 p) {
            V2 q = {right ? 10.0f - p.x : p.x, bottom ? 10.0f - p.y : p.y};
            return Sd_Box(q, {1.0f, 1.0f}, 1.0f, 1.0f);
        },
        [](const Hit &) { return Hex(220, 255, 220); });
}

void Paint_Meter_Missile(Canvas &cv) {
    // Upright: local +x points up the picture.
    Place pl = Make_Place(cv.w * 0.5f, 38.0f, 1.0f, -kPi / 2.0f);
    Glow(cv, pl, [](V2 p) {
        float dx = p.x + 28.0f;
        if (dx > 1.0f) return Rgb{0, 0, 0};
        float along = -dx, spread = 1.5f + along * 0.2f;
        float k = exact::Exp(-(p.y * p.y) / (spread * spread)) * exact::Exp(-along / 4.0f);
        return Rgb{1.0f, 0.65f, 0.2f} * (k * 1.5f) + Rgb{0.3f, 0.3f, 0.3f} * (k * k);
    });
    static const std::vector<V2> fin = {
        {-14.0f, -4.5f}, {-24.0f, -11.0f}, {-28.0f, -11.0f}, {-27.0f, -4.5f}};
    for (int side = 0; side < 2; ++side)
        Fill(
            cv, pl,
            [side](V2 p) {
                return Sd_Polygon(side ? V2{p.x, -p.y} : p, fin);
            },
            Metal(Hex(200, 40, 40), 1.5f, 0.5f));
    static const std::vector<V2> body =
        Mirror_Y({{36.0f, 0.0f}, {31.0f, -2.6f}, {24.0f, -4.6f}, {-27.0f, -4.6f}});
    Fill(
        cv, pl, [](V2 p) { return Sd_Polygon(p, body); },
        Metal(Hex(226, 230, 238), 4.0f, 0.7f, 22.0f));
    Fill(
        cv, pl, [](V2 p) { return std::max(Sd_Polygon(p, body), 24.0f - p.x); },
        Metal(Hex(225, 40, 40), 4.0f, 0.6f));
    Fill(
        cv, pl, [](V2 p) { return std::max(Sd_Polygon(p, body), std::fabs(p.x + 4.0f) - 1.5f); },
        Metal(Hex(225, 40, 40), 4.0f, 0.6f));
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(p, {-28.0f, 0.0f}, 1.5f, 3.4f, 0.5f);
        },
        Metal(Hex(80, 80, 90), 1.0f));
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Polygon(p, {{-6.0f, -0.6f}, {-20.0f, -0.6f}, {-20.0f, 0.6f}, {-6.0f, 0.6f}});
        },
        [](const Hit &) { return Hex(150, 154, 166); });
}
