// Painters of the things that fly and turn: the player's ship, the enemy craft and the missile.
// Each is drawn once per heading in a turned coordinate frame, lit from a fixed screen side.
#include "tools/genart/art.h"

#include <algorithm>

namespace {

// Metal: rounded at the edges, lit, with a little gloss.
Shader Metal(Rgb base, float bevel, float spec = 0.45f, float shine = 18.0f) {
    return [=](const Hit &h) {
        return Shade(base, Bevel_Normal(h, bevel), h.light, 0.32f, spec, shine);
    };
}

float Min(float a, float b) {
    return a < b ? a : b;
}

const std::vector<V2> &Ship_Hull() {
    static const std::vector<V2> hull = Mirror_Y({{26.0f, 0.0f},
                                                  {19.0f, -2.2f},
                                                  {8.0f, -4.2f},
                                                  {-6.0f, -5.2f},
                                                  {-17.0f, -5.0f},
                                                  {-19.5f, -3.6f}});
    return hull;
}

const std::vector<V2> &Ship_Wing() {
    static const std::vector<V2> wing = {
        {6.0f, -3.5f}, {-9.0f, -17.0f}, {-12.0f, -20.5f}, {-16.5f, -20.5f}, {-17.5f, -4.5f}};
    return wing;
}

V2 Flip(V2 p) {
    return {p.x, -p.y};
}

} // namespace

void Paint_Ship(Canvas &cv, const Place &pl, float flame) {
    const Rgb hull = Hex(206, 212, 224), wing = Hex(150, 162, 186), accent = Hex(40, 110, 230);
    // Ion glow behind the two engines, drawn first so the nozzles sit on top of it.
    Glow(cv, pl, [=](V2 p) {
        Rgb sum{0, 0, 0};
        for (float ey : {-7.0f, 7.0f}) {
            float dx = p.x + 19.5f, dy = p.y - ey;
            if (dx > 2.0f) continue;
            float along = std::max(0.0f, -dx);
            float spread = 1.2f + along * 0.18f;
            float k = std::exp(-(dy * dy) / (spread * spread)) * std::exp(-along / (3.2f * flame));
            sum = sum + Rgb{0.35f, 0.75f, 1.0f} * (k * 1.2f) + Rgb{0.6f, 0.6f, 0.3f} * (k * k);
        }
        return sum;
    });
    for (int side = 0; side < 2; ++side) {
        auto wing_sdf = [side](V2 p) { return Sd_Polygon(side ? Flip(p) : p, Ship_Wing()); };
        Fill(cv, pl, wing_sdf, Metal(wing, 2.5f));
        // Accent stripe along the leading edge of each wing.
        auto stripe = [side](V2 p) {
            V2 q = side ? Flip(p) : p;
            return std::max(Sd_Polygon(q, Ship_Wing()),
                            Sd_Segment(q, {5.0f, -3.0f}, {-11.0f, -19.0f}, 1.8f));
        };
        Fill(cv, pl, stripe, Metal(accent, 1.2f, 0.5f));
        Darken(
            cv, pl,
            [side](V2 p) {
                V2 q = side ? Flip(p) : p;
                return std::max(Sd_Polygon(q, Ship_Wing()) + 0.3f,
                                Sd_Segment(q, {-4.0f, -6.0f}, {-15.0f, -17.5f}, 0.22f));
            },
            0.55f);
        // Engine pod with its nozzle.
        float ey = side ? 7.0f : -7.0f;
        Fill(
            cv, pl,
            [ey](V2 p) {
                return Sd_Box(p, {-13.0f, ey}, 6.5f, 2.4f, 1.8f);
            },
            Metal(Hex(120, 128, 144), 1.8f));
        Fill(
            cv, pl,
            [ey](V2 p) {
                return Sd_Box(p, {-19.3f, ey}, 0.9f, 1.9f, 0.6f);
            },
            [](const Hit &h) { return Mix(Hex(60, 150, 255), Hex(220, 245, 255), Clamp01(-h.d)); });
        // Wing-tip light: port red, starboard green.
        V2 tip = {-14.5f, side ? 20.0f : -20.0f};
        Rgb tc = side ? Rgb{0.3f, 1.0f, 0.4f} : Rgb{1.0f, 0.25f, 0.2f};
        Fill(
            cv, pl, [tip](V2 p) { return Sd_Circle(p, tip, 0.9f); },
            [tc](const Hit &) { return tc; });
    }
    Fill(
        cv, pl, [](V2 p) { return Sd_Polygon(p, Ship_Hull()); }, Metal(hull, 3.0f, 0.6f, 24.0f));
    // Spine stripe and panel seams on the hull.
    Fill(
        cv, pl,
        [](V2 p) {
            return std::max(Sd_Polygon(p, Ship_Hull()) + 0.4f,
                            Sd_Segment(p, {-17.0f, 0.0f}, {2.0f, 0.0f}, 0.8f));
        },
        Metal(accent, 1.0f, 0.4f));
    Darken(
        cv, pl,
        [](V2 p) {
            float d = Min(Sd_Segment(p, {-1.0f, -4.6f}, {-1.0f, 4.6f}, 0.2f),
                          Sd_Segment(p, {-10.0f, -5.0f}, {-10.0f, 5.0f}, 0.2f));
            return std::max(Sd_Polygon(p, Ship_Hull()) + 0.3f, d);
        },
        0.6f);
    // Cockpit canopy: dark glass with a cyan sheen and a sharp highlight toward the light.
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Ellipse(p, {9.5f, 0.0f}, 6.5f, 2.5f);
        },
        [](const Hit &h) {
            V3 n = Bevel_Normal(h, 2.4f, 0.9f);
            Rgb glass = Shade(Hex(30, 120, 170), n, h.light, 0.45f, 1.0f, 40.0f);
            return glass + Hex(0, 40, 60);
        });
}

void Paint_Craft(Canvas &cv, float angle) {
    Place pl = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, angle);
    const Rgb armour = Hex(150, 34, 48), claw = Hex(112, 28, 70), fin = Hex(90, 24, 40);
    // Furnace glow of the single rear engine.
    Glow(cv, pl, [](V2 p) {
        float dx = p.x + 11.0f;
        if (dx > 1.0f) return Rgb{0, 0, 0};
        float along = -dx, spread = 1.8f + along * 0.25f;
        float k = std::exp(-(p.y * p.y) / (spread * spread)) * std::exp(-along / 3.0f);
        return Rgb{1.0f, 0.45f, 0.1f} * (k * 1.3f) + Rgb{0.3f, 0.3f, 0.1f} * (k * k);
    });
    static const std::vector<V2> fins = {
        {-3.0f, -5.0f}, {-15.0f, -16.0f}, {-19.0f, -15.5f}, {-11.0f, -3.0f}};
    static const std::vector<V2> pincer = {{-6.0f, -5.0f}, {4.0f, -12.5f}, {14.0f, -12.0f},
                                           {21.0f, -6.5f}, {13.0f, -8.2f}, {5.0f, -6.5f},
                                           {0.0f, -2.0f}};
    for (int side = 0; side < 2; ++side) {
        auto mirror = [side](V2 p) { return side ? Flip(p) : p; };
        Fill(
            cv, pl, [=](V2 p) { return Sd_Polygon(mirror(p), fins); }, Metal(fin, 2.0f));
        Fill(
            cv, pl, [=](V2 p) { return Sd_Polygon(mirror(p), pincer); },
            Metal(claw, 2.2f, 0.6f, 14.0f));
        // Hot tips on the pincers.
        Fill(
            cv, pl,
            [=](V2 p) {
                return std::max(Sd_Polygon(mirror(p), pincer),
                                Sd_Circle(mirror(p), {20.5f, -6.8f}, 3.2f));
            },
            [](const Hit &) { return Hex(255, 150, 60); });
    }
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Ellipse(p, {-2.0f, 0.0f}, 11.0f, 7.5f);
        },
        Metal(armour, 4.0f, 0.55f, 16.0f));
    // Armour plates: a ring seam and radial seams.
    Darken(
        cv, pl,
        [](V2 p) {
            float ring = std::fabs(Sd_Ellipse(p, {-2.0f, 0.0f}, 7.0f, 4.6f)) - 0.25f;
            float seams = Min(Sd_Segment(p, {-9.0f, 0.0f}, {-13.0f, 0.0f}, 0.25f),
                              Min(Sd_Segment(p, {-4.0f, -4.6f}, {-5.0f, -7.4f}, 0.25f),
                                  Sd_Segment(p, {-4.0f, 4.6f}, {-5.0f, 7.4f}, 0.25f)));
            return Min(ring, seams);
        },
        0.5f);
    // The green sensor eye, glowing.
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Circle(p, {4.0f, 0.0f}, 2.8f);
        },
        [](const Hit &h) {
            float t = Clamp01(-h.d / 2.8f);
            return Mix(Hex(40, 140, 20), Hex(230, 255, 150), t);
        });
    Glow(cv, pl, [](V2 p) {
        float r = Len(p - V2{4.0f, 0.0f});
        return Rgb{0.3f, 0.8f, 0.1f} * (0.6f * std::exp(-r * r / 18.0f));
    });
}

void Paint_Missile(Canvas &cv, float angle) {
    Place pl = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, angle);
    Glow(cv, pl, [](V2 p) {
        float dx = p.x + 8.5f;
        if (dx > 0.5f) return Rgb{0, 0, 0};
        float along = -dx, spread = 0.9f + along * 0.15f;
        float k = std::exp(-(p.y * p.y) / (spread * spread)) * std::exp(-along / 3.5f);
        return Rgb{1.0f, 0.7f, 0.2f} * (k * 1.4f) + Rgb{0.4f, 0.3f, 0.2f} * (k * k);
    });
    static const std::vector<V2> fin = {
        {-3.0f, -1.5f}, {-7.5f, -5.0f}, {-9.0f, -5.0f}, {-8.0f, -1.5f}};
    for (int side = 0; side < 2; ++side)
        Fill(
            cv, pl, [side](V2 p) { return Sd_Polygon(side ? Flip(p) : p, fin); },
            Metal(Hex(200, 40, 40), 1.0f));
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(p, {1.5f, 0.0f}, 9.5f, 1.8f, 1.5f);
        },
        Metal(Hex(220, 224, 232), 1.6f, 0.7f));
    Fill(
        cv, pl,
        [](V2 p) {
            return std::max(Sd_Box(p, {1.5f, 0.0f}, 9.5f, 1.8f, 1.5f),
                            p.x < 7.0f ? 7.0f - p.x : -1.0f);
        },
        Metal(Hex(220, 40, 40), 1.6f, 0.6f));
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(p, {-8.5f, 0.0f}, 0.8f, 1.3f, 0.3f);
        },
        Metal(Hex(90, 90, 100), 1.0f));
}
