// Painters of the untargeted things in space: gun shots, the turning station, the explosion
// and the four power-ups.
#include "tools/genart/art.h"

#include <algorithm>

namespace {

V2 Polar(float r, float a) {
    return {r * exact::Cos(a), r * exact::Sin(a)};
}

// p turned into the sector around angle 0 of a pattern repeated n times around the centre.
V2 Fold(V2 p, int n) {
    float sector = 2.0f * kPi / n;
    float a = exact::Atan2(p.y, p.x);
    a = a - sector * std::floor(a / sector + 0.5f);
    float r = Len(p);
    return {r * exact::Cos(a), r * exact::Sin(a)};
}

} // namespace

void Paint_Bullet(Canvas &cv, int colour, int phase) {
    static const Rgb tint[4] = {
        {1.0f, 0.22f, 0.15f}, {0.2f, 1.0f, 0.3f}, {0.15f, 0.35f, 1.0f}, {1.0f, 0.9f, 0.15f}};
    const Rgb c = tint[colour & 3];
    Place pl = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, phase * kPi / 8.0f);
    const float pulse = 1.0f + 0.18f * exact::Cos(phase * kPi / 2.0f);
    // A coloured plasma shell around a white-hot core, inside a soft halo with a sparkle.
    Fill(
        cv, pl,
        [=](V2 p) {
            return Sd_Circle(p, {0, 0}, 3.6f * pulse);
        },
        [=](const Hit &h) {
            float t = Clamp01(-h.d / 2.0f);
            return Mix(c * 0.8f, Mix(c, Rgb{1.0f, 1.0f, 1.0f}, 0.9f), t * t);
        });
    Glow(cv, pl, [=](V2 p) {
        float r = Len(p);
        float halo = 0.75f * exact::Exp(-r * r / (9.0f * pulse));
        // Four-pointed sparkle, turning a little each picture.
        float ray = exact::Exp(-std::fabs(p.x) * 1.4f) * exact::Exp(-std::fabs(p.y) * 0.4f) +
                    exact::Exp(-std::fabs(p.y) * 1.4f) * exact::Exp(-std::fabs(p.x) * 0.4f);
        return c * (halo + 0.8f * ray * Smooth(5.2f, 3.6f, r));
    });
}

void Paint_Station(Canvas &cv, int k) {
    const float turn = k * kPi / 12.0f; // 15 degrees a picture; three-fold, so 8 pictures loop
    Place pl = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, turn);
    const Rgb hull = Hex(170, 176, 188), dark = Hex(96, 104, 122), gold = Hex(210, 170, 70);
    // Trusses carrying the solar panels, between the spokes.
    Fill(
        cv, pl,
        [](V2 p) {
            V2 q = Fold(Polar(Len(p), exact::Atan2(p.y, p.x) - kPi / 3.0f), 3);
            return Sd_Box(q, {26.0f, 0.0f}, 9.0f, 1.0f);
        },
        Metal(Hex(110, 100, 80), 0.8f));
    // Solar panels between the spokes, inside the ring.
    Fill(
        cv, pl,
        [](V2 p) {
            V2 q = Fold(Polar(Len(p), exact::Atan2(p.y, p.x) - kPi / 3.0f), 3);
            return Sd_Box(q, {25.5f, 0.0f}, 5.5f, 10.0f, 0.8f);
        },
        [](const Hit &h) {
            Rgb cell = Hex(40, 70, 170);
            V2 q = Fold(Polar(Len(h.p), exact::Atan2(h.p.y, h.p.x) - kPi / 3.0f), 3);
            bool seam = std::fmod(q.y + 30.0f, 4.0f) < 0.7f || std::fabs(q.x - 25.5f) < 0.4f;
            return Shade(cell, Bevel_Normal(h, 0.8f), h.light, 0.45f, 0.9f, 30.0f) *
                   (seam ? 0.55f : 1.0f);
        });
    // Spokes, then the outer ring.
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(Fold(p, 3), {28.0f, 0.0f}, 18.0f, 3.0f, 1.0f);
        },
        Metal(dark, 2.0f));
    Fill(
        cv, pl, [](V2 p) { return std::fabs(Len(p) - 40.0f) - 6.0f; },
        [=](const Hit &h) {
            // Ring segments: a seam every 30 degrees, windows lit on the inner side.
            V2 q = Fold(h.p, 12);
            Rgb base = std::fabs(q.y) < 0.6f ? dark : hull;
            float r = Len(h.p);
            V3 n = {h.p.x / r * (r - 40.0f) / 6.5f, h.p.y / r * (r - 40.0f) / 6.5f, 0.0f};
            n.z = std::sqrt(std::max(0.0f, 1.0f - n.x * n.x - n.y * n.y));
            return Shade(base, n, h.light, 0.3f, 0.5f, 20.0f);
        });
    Fill(
        cv, pl,
        [](V2 p) {
            V2 q = Fold(p, 12);
            return Sd_Box(q, {40.0f, 4.0f}, 1.4f, 0.8f);
        },
        [](const Hit &) { return Hex(255, 220, 130); });
    // Three docking modules on the ring.
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(Fold(p, 3), {43.0f, 0.0f}, 9.0f, 8.0f, 2.5f);
        },
        Metal(hull, 3.0f, 0.5f));
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(Fold(p, 3), {49.5f, 0.0f}, 2.0f, 4.5f, 0.8f);
        },
        [](const Hit &) { return Hex(40, 40, 54); });
    // Beacons on the modules flash in turn, two pictures each, so the loop of 8 has a rhythm
    // of its own on top of the turn: module 0 in pictures 0-1, module 2 in 2-3, module 1 in 5-6.
    for (int m = 0; m < 3; ++m) {
        bool on = (k + 3 * m) % 8 < 2;
        V2 at = Polar(41.0f, m * 2.0f * kPi / 3.0f);
        Fill(
            cv, pl, [at](V2 p) { return Sd_Circle(p, at, 1.6f); },
            [on](const Hit &) { return on ? Hex(255, 80, 60) : Hex(110, 30, 30); });
        if (on)
            Glow(cv, pl, [at](V2 p) {
                float r = Len(p - at);
                return Rgb{1.0f, 0.3f, 0.2f} * (0.8f * exact::Exp(-r * r / 10.0f));
            });
    }
    // Central hub: a domed core with a gold collar.
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Circle(p, {0, 0}, 17.0f);
        },
        Metal(gold, 4.0f, 0.5f));
    // Docking clamps on the collar: they show the hub turning with the ring.
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(Fold(p, 6), {14.5f, 0.0f}, 2.2f, 1.6f, 0.5f);
        },
        Metal(Hex(120, 96, 50), 1.0f));
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Circle(p, {0, 0}, 12.0f);
        },
        [](const Hit &h) {
            float r = Len(h.p) / 12.0f;
            V3 n = {h.p.x / 12.0f, h.p.y / 12.0f, std::sqrt(std::max(0.0f, 1.0f - r * r))};
            return Shade(Hex(60, 150, 200), n, h.light, 0.3f, 0.9f, 30.0f);
        });
}

namespace {

// Colour of burning gas from hot (1: white) through yellow, orange and red to smoke (0).
Rgb Fire(float t) {
    t = Clamp01(t);
    if (t > 0.8f) return Mix(Hex(255, 220, 110), Hex(255, 255, 240), (t - 0.8f) / 0.2f);
    if (t > 0.55f) return Mix(Hex(250, 130, 25), Hex(255, 220, 110), (t - 0.55f) / 0.25f);
    if (t > 0.3f) return Mix(Hex(170, 45, 20), Hex(250, 130, 25), (t - 0.3f) / 0.25f);
    return Mix(Hex(56, 34, 34), Hex(170, 45, 20), t / 0.3f);
}

} // namespace

void Paint_Explosion(Canvas &cv, int k) {
    // Size, peak temperature and how far the middle has cooled, picture by picture; the
    // turbulent rim reaches out to about 1.5 times the size.
    const float radius[4] = {10.0f, 16.5f, 22.5f, 26.5f};
    const float temp[4] = {1.3f, 1.05f, 0.72f, 0.4f};
    const float cooled[4] = {0.0f, 0.1f, 0.35f, 0.5f};
    const float cx = cv.w * 0.5f, cy = cv.h * 0.5f;
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float rp = std::sqrt(dx * dx + dy * dy), r = rp / radius[k];
            // The same turbulence grows with the ball, so the pictures read as one cloud.
            float u = dx / radius[k] * 1.6f, v = dy / radius[k] * 1.6f;
            float n = Fbm(u + 5.0f, v - 3.0f, 17U, 5);
            // A lobed outline (noise around the circle) and a turbulent inside.
            float a = exact::Atan2(dy, dx);
            float m = Fbm(1.8f * exact::Cos(a) + 10.0f, 1.8f * exact::Sin(a) + 10.0f, 41U + k, 3);
            float billow = 1.0f - r / (0.7f + 0.7f * m) + 0.6f * (n - 0.5f);
            float cov = Smooth(0.0f, 0.1f, billow) * Smooth(39.0f, 36.0f, rp);
            if (k == 3)
                cov *= Smooth(0.34f, 0.46f, Fbm(u * 1.7f, v * 1.7f, 29U, 4)); // tearing apart
            if (cov <= 0.0f) continue;
            float t = temp[k] * (0.3f + 0.9f * Clamp01(billow * 1.3f));
            t *= 1.0f - cooled[k] * Smooth(0.8f, 0.0f, r) * (0.5f + n);
            float grain = Fbm(u * 2.5f - 7.0f, v * 2.5f + 1.0f, 53U + k, 4);
            Rgb c = Fire(t * (0.8f + 0.4f * grain)) * Mix(1.0f, 0.5f + 0.6f * n, k / 3.0f);
            float *o = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            o[0] = c.r * cov;
            o[1] = c.g * cov;
            o[2] = c.b * cov;
            o[3] = cov;
        }
    // Embers thrown outward, farther and dimmer in each picture.
    Place pl = Make_Place(cx, cy, 1.0f, 0.0f);
    for (uint32_t i = 0; i < 14; ++i) {
        float a = Hash01(i * 7U + 1U) * 2.0f * kPi;
        float d = std::min(35.0f, radius[k] * (1.1f + 0.45f * Hash01(i * 7U + 2U)) + 2.0f);
        V2 at = Polar(d, a), tail = Polar(d - 1.0f - 1.2f * k, a);
        float b = (k == 3 ? 0.45f : 0.9f) * (0.6f + 0.4f * Hash01(i * 7U + 3U));
        Glow(cv, pl, [=](V2 p) {
            float e = Sd_Segment(p, tail, at, 0.0f);
            return Rgb{1.0f, 0.75f, 0.35f} * (b * exact::Exp(-e * e / 0.6f));
        });
    }
}

void Paint_Powerup(Canvas &cv, int kind) {
    Place pl = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, 0.0f);
    switch (kind) {
    case 0: { // fuel: an orange canister marked F
        Fill(
            cv, pl,
            [](V2 p) {
                return Sd_Box(p, {0.0f, 1.5f}, 6.5f, 8.5f, 2.5f);
            },
            Metal(Hex(255, 128, 16), 2.5f, 0.6f));
        Fill(
            cv, pl, [](V2 p) { return Sd_Text(p, "F", -2.7f, -2.0f, 8.0f, 1.7f); },
            [](const Hit &) { return Hex(96, 30, 8); });
        Fill(
            cv, pl,
            [](V2 p) {
                return Sd_Box(p, {-2.5f, -8.5f}, 2.2f, 1.8f, 0.6f);
            },
            Metal(Hex(150, 150, 160), 1.0f));
        Fill(
            cv, pl,
            [](V2 p) {
                return Sd_Segment(p, {0.5f, -8.5f}, {4.5f, -7.5f}, 0.8f);
            },
            Metal(Hex(150, 150, 160), 0.8f));
        break;
    }
    case 1: { // points: a gold star
        Fill(
            cv, pl,
            [](V2 p) {
                std::vector<V2> star;
                for (int i = 0; i < 10; ++i)
                    star.push_back(Polar(i % 2 ? 4.6f : 11.5f, -kPi / 2.0f + i * kPi / 5.0f));
                return Sd_Polygon(p, star);
            },
            [](const Hit &h) {
                // Facets: each half of a star point leans its own way.
                float a = exact::Atan2(h.p.y, h.p.x) + kPi / 2.0f;
                float sector = std::fmod(a + 4.0f * kPi, 2.0f * kPi / 5.0f) - kPi / 5.0f;
                float side = sector > 0.0f ? 1.0f : -1.0f;
                float ang = exact::Atan2(h.p.y, h.p.x) + side * 0.7f;
                V3 n = {0.55f * exact::Cos(ang), 0.55f * exact::Sin(ang), 0.83f};
                return Shade(Hex(255, 200, 40), n, h.light, 0.35f, 0.7f, 12.0f);
            });
        break;
    }
    case 2: { // shield: a blue ring
        Glow(cv, pl, [](V2 p) {
            float d = std::fabs(Len(p) - 8.5f);
            return Rgb{0.1f, 0.35f, 1.0f} * (0.5f * exact::Exp(-d * d / 6.0f));
        });
        Fill(
            cv, pl, [](V2 p) { return std::fabs(Len(p) - 8.5f) - 2.4f; },
            [](const Hit &h) {
                float t = Clamp01(1.0f - std::fabs(Len(h.p) - 8.5f) / 2.4f);
                return Mix(Hex(20, 70, 220), Hex(170, 220, 255), t * t);
            });
        Fill(
            cv, pl,
            [](V2 p) {
                return Sd_Circle(p, {0, 0}, 4.0f);
            },
            [](const Hit &h) {
                return Mix(Hex(20, 60, 160), Hex(120, 190, 255), Clamp01(-h.d / 4.0f));
            });
        break;
    }
    default: { // missiles: a red missile flying up and to the right
        Place tilt = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, -kPi / 4.0f);
        static const std::vector<V2> fin = {
            {-4.0f, -2.0f}, {-9.0f, -6.5f}, {-10.5f, -6.5f}, {-9.5f, -2.0f}};
        for (int side = 0; side < 2; ++side)
            Fill(
                cv, tilt,
                [side](V2 p) {
                    return Sd_Polygon(side ? V2{p.x, -p.y} : p, fin);
                },
                Metal(Hex(240, 240, 245), 1.0f));
        Fill(
            cv, tilt,
            [](V2 p) {
                static const std::vector<V2> body =
                    Mirror_Y({{12.0f, 0.0f}, {7.0f, -2.6f}, {-10.0f, -2.6f}});
                return Sd_Polygon(p, body);
            },
            Metal(Hex(230, 40, 40), 2.0f, 0.6f));
        Fill(
            cv, tilt,
            [](V2 p) {
                return Sd_Box(p, {-1.0f, 0.0f}, 0.9f, 2.7f);
            },
            Metal(Hex(240, 240, 245), 0.8f));
        break;
    }
    }
}
