// Painters of the title picture (stars, a nebula, the ship and the game's name) and of the
// program icon.
#include "tools/genart/art.h"

#include <algorithm>

namespace {

// Star field and nebula straight into the canvas, fading to black at the picture's border so
// that it sits seamlessly on the black screen around it.
void Paint_Space(Canvas &cv) {
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            float u = (x + 0.5f) / cv.w, v = (y + 0.5f) / cv.h;
            float edge = Smooth(0.0f, 0.16f, std::min({u, v, 1.0f - u, 1.0f - v}));
            float n1 = Fbm(u * 4.0f, v * 3.4f, 7U, 6),
                  n2 = Fbm(u * 6.0f + 3.0f, v * 5.0f - 1.0f, 21U, 5);
            // A diagonal band of gas from lower left to upper right.
            const float across = (v - 0.78f + 0.5f * u) / 0.28f;
            float band = exact::Exp(-across * across);
            float gas = Smooth(0.38f, 0.85f, n1) * band * edge;
            float warm = Smooth(0.45f, 0.75f, n2);
            Rgb c = Mix(Hex(40, 20, 110), Hex(150, 40, 120), warm) * (gas * 0.9f) +
                    Hex(20, 90, 140) * (Smooth(0.6f, 0.95f, n1) * band * edge * 0.6f);
            float *o = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            o[0] = c.r;
            o[1] = c.g;
            o[2] = c.b;
            o[3] = 1.0f;
        }
    // Stars: many faint, a few bright with a soft halo.
    for (uint32_t i = 0; i < 420; ++i) {
        float sx = 8.0f + Hash01(i * 3U + 1U) * (cv.w - 16),
              sy = 8.0f + Hash01(i * 3U + 2U) * (cv.h - 16);
        float b = Hash01(i * 3U + 3U);
        b = 0.25f + 0.75f * b * b * b;
        Rgb tint = Mix(Hex(170, 200, 255), Hex(255, 230, 190), Hash01(i * 5U + 77U));
        int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
        float *o = &cv.px[(static_cast<size_t>(y0) * cv.w + x0) * 4];
        o[0] = std::max(o[0], tint.r * b);
        o[1] = std::max(o[1], tint.g * b);
        o[2] = std::max(o[2], tint.b * b);
        if (b > 0.8f) {
            // A bright star gets a halo and thin cross flares, drawn on its neighbourhood only.
            V2 at = {x0 + 0.5f, y0 + 0.5f};
            for (int yy = std::max(0, y0 - 9); yy <= std::min(cv.h - 1, y0 + 9); ++yy)
                for (int xx = std::max(0, x0 - 9); xx <= std::min(cv.w - 1, x0 + 9); ++xx) {
                    V2 d = V2{xx + 0.5f, yy + 0.5f} - at;
                    float k = 0.5f * exact::Exp(-Dot(d, d) / 3.0f) +
                              0.35f * exact::Exp(-std::fabs(d.y) * 2.5f - std::fabs(d.x) * 0.35f) +
                              0.35f * exact::Exp(-std::fabs(d.x) * 2.5f - std::fabs(d.y) * 0.35f);
                    float *q = &cv.px[(static_cast<size_t>(yy) * cv.w + xx) * 4];
                    q[0] = std::min(1.0f, q[0] + tint.r * k);
                    q[1] = std::min(1.0f, q[1] + tint.g * k);
                    q[2] = std::min(1.0f, q[2] + tint.b * k);
                }
        }
    }
}

// A small banded planet with a tilted ring, lit from the same side as the sprites.
void Paint_Planet(Canvas &cv, V2 c, float r) {
    Place pl = Make_Place(c.x, c.y, 1.0f, -0.35f);
    auto ring = [r](V2 p) {
        float e = Len({p.x, p.y * 3.2f});
        return std::fabs(e - r * 1.55f) - r * 0.22f;
    };
    const Rgb ring_col = Hex(190, 170, 140);
    // The far half of the ring goes behind the globe, the near half in front.
    Fill(
        cv, pl, [=](V2 p) { return p.y > 0.0f ? 100.0f : ring(p); },
        [=](const Hit &h) {
            return ring_col * (0.55f + 0.25f * exact::Sin(Len({h.p.x, h.p.y * 3.2f}) * 1.3f));
        });
    Glow(cv, pl, [r](V2 p) {
        float d = Len(p) - r;
        return d < 0.0f ? Rgb{0, 0, 0} : Rgb{0.3f, 0.5f, 1.0f} * (0.35f * exact::Exp(-d / 3.0f));
    });
    Fill(
        cv, pl, [r](V2 p) { return Len(p) - r; },
        [r](const Hit &h) {
            float q = Len(h.p) / r;
            V3 n = {h.p.x / r, h.p.y / r, std::sqrt(std::max(0.0f, 1.0f - q * q))};
            float band = Fbm(h.p.y / r * 5.0f, h.p.x / r * 0.8f, 77U, 4);
            Rgb base = Mix(Hex(200, 140, 90), Hex(120, 90, 150), band);
            const float dip = 1.0f - n.z;
            float rim = dip * dip * dip;
            return Shade(base, n, h.light, 0.06f, 0.15f, 10.0f) + Rgb{0.2f, 0.35f, 0.8f} * rim;
        });
    Fill(
        cv, pl, [=](V2 p) { return p.y <= 0.0f ? 100.0f : ring(p); },
        [=](const Hit &h) {
            return ring_col * (0.75f + 0.25f * exact::Sin(Len({h.p.x, h.p.y * 3.2f}) * 1.3f));
        });
}

// The name in chrome letters with a bright rim and a blue glow.
void Paint_Name(Canvas &cv, const std::string &name, float cy, float h, float sw) {
    Place pl = Make_Place(0.0f, 0.0f, 1.0f, 0.0f);
    const float x = (cv.w - Text_Width(name, h)) * 0.5f, y = cy - h * 0.5f;
    Glow(cv, pl, [=](V2 p) {
        if (p.y < y - 40.0f || p.y > y + h + 40.0f) return Rgb{0, 0, 0};
        float d = std::max(0.0f, Sd_Text(p, name, x, y, h, sw));
        return Rgb{0.15f, 0.45f, 1.0f} * (0.55f * exact::Exp(-d / 9.0f));
    });
    auto sdf = [=](V2 p) {
        if (p.y < y - sw * 2.0f || p.y > y + h + sw * 2.0f) return 100.0f;
        return Sd_Text(p, name, x, y, h, sw);
    };
    // Dark outline first, then the chrome face inset within it.
    Fill(
        cv, pl, [=](V2 p) { return sdf(p) - 2.0f; }, [](const Hit &) { return Hex(10, 16, 40); });
    Fill(cv, pl, sdf, [=](const Hit &hit) {
        float v = (hit.p.y - y) / h; // 0 at the top of the letters, 1 at the bottom
        Rgb sky = Mix(Hex(250, 252, 255), Hex(120, 170, 235), Smooth(0.0f, 0.48f, v));
        Rgb ground = Mix(Hex(40, 60, 130), Hex(170, 120, 220), Smooth(0.52f, 1.0f, v));
        Rgb face = v < 0.5f ? sky : ground;
        V3 n = Bevel_Normal(hit, sw * 0.45f, 0.9f);
        float rim = std::max(0.0f, n.x * hit.light.x + n.y * hit.light.y) * 0.9f;
        return face * (0.75f + 0.35f * n.z) + Rgb{rim, rim, rim};
    });
}

// The credits draw two red lines over this picture (at 220,150 and 260,200 of it, 16 pixels
// high, the second up to 300 wide). Behind each, and a margin around, the picture dims to a
// shade so dark that red reads on it at a contrast of 4.5:1 or more; the dimming fades out
// over a soft edge so it looks like a lane of dark sky.
void Darken_Caption_Lanes(Canvas &cv) {
    struct Lane {
        float x0, y0, x1, y1;
    };
    constexpr Lane lanes[] = {{212.0f, 144.0f, 440.0f, 172.0f}, {252.0f, 194.0f, 576.0f, 222.0f}};
    constexpr float SOFT = 26.0f; // width of the fade around a lane
    // No channel brighter than this inside a lane, the dither's offset of up to 8/255 included.
    constexpr float DARKEST = 0.05f;
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            float dist = 1e9f;
            for (const Lane &l : lanes) {
                const float dx = std::max({l.x0 - (x + 0.5f), 0.0f, (x + 0.5f) - l.x1});
                const float dy = std::max({l.y0 - (y + 0.5f), 0.0f, (y + 0.5f) - l.y1});
                dist = std::min(dist, std::sqrt(dx * dx + dy * dy));
            }
            if (dist >= SOFT) continue;
            float *o = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            const float peak = std::max({o[0], o[1], o[2], 1e-6f});
            const float dimmed = std::min(1.0f, DARKEST / peak);
            const float k = dimmed + (1.0f - dimmed) * Smooth(0.0f, SOFT, dist);
            o[0] *= k, o[1] *= k, o[2] *= k;
        }
}

} // namespace

void Paint_Title(Canvas &cv) {
    Paint_Space(cv);
    // Left of the credits' lines, clear of the name and of the ship's trail.
    Paint_Planet(cv, {TITLE_PLANET_X, TITLE_PLANET_Y}, TITLE_PLANET_R);
    // The ship climbing out of the lower right, big, with a long ion trail.
    Place ship = Make_Place(410.0f, 330.0f, 3.2f, -kPi / 5.0f);
    Glow(cv, ship, [](V2 p) {
        if (p.x > -18.0f) return Rgb{0, 0, 0};
        float along = -18.0f - p.x;
        float k = 0.0f;
        for (float ey : {-7.0f, 7.0f}) {
            float spread = 1.6f + along * 0.05f, dy = p.y - ey;
            k += exact::Exp(-dy * dy / (spread * spread)) * exact::Exp(-along / 60.0f);
        }
        return Rgb{0.2f, 0.5f, 1.0f} * (0.8f * k);
    });
    Paint_Ship(cv, ship, 3.0f);
    Paint_Name(cv, "FARWAKE", 105.0f, 70.0f, 12.0f);
    // No words besides the name: the credits show this picture too, and a prompt true on the
    // title would be wrong there.
    Darken_Caption_Lanes(cv);
    // Fade everything out toward the border: the picture sits on a black screen, edgeless.
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            float edge = std::min({x + 0.5f, y + 0.5f, cv.w - x - 0.5f, cv.h - y - 0.5f});
            float k = Smooth(1.0f, 24.0f, edge);
            float *o = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            o[0] *= k, o[1] *= k, o[2] *= k;
        }
}

void Paint_Icon(Canvas &cv) {
    const float s = cv.w / 64.0f;
    Place bg = Make_Place(cv.w * 0.5f, cv.h * 0.5f, s, 0.0f);
    Fill(
        cv, bg,
        [](V2 p) {
            return Sd_Box(p, {0, 0}, 30.0f, 30.0f, 9.0f);
        },
        [](const Hit &h) {
            float t = Clamp01((h.p.y + 30.0f) / 60.0f);
            float n = Fbm(h.p.x * 0.08f + 2.0f, h.p.y * 0.08f, 5U, 4);
            return Mix(Hex(14, 18, 52), Hex(52, 16, 70), t) +
                   Hex(20, 40, 90) * Smooth(0.55f, 0.9f, n);
        });
    Paint_Ship(cv,
               Make_Place(cv.w * 0.5f + 2.0f * s, cv.h * 0.5f - 1.0f * s, 1.0f * s, -kPi / 4.0f),
               1.0f);
}
