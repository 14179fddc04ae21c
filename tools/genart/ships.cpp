// Painters of the things that fly and turn: the player's ship, the enemy craft and the missile.
// Each is drawn once per heading in a turned coordinate frame, lit from a fixed screen side.
#include "tools/genart/art.h"

#include <algorithm>

namespace {

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
    // Ion glow behind the two engines, drawn first so the nozzles sit on top of it. It fades
    // fast (a Gaussian along the plume) so that the nose stays the farthest point of the frame.
    Glow(cv, pl, [=](V2 p) {
        Rgb sum{0, 0, 0};
        for (float ey : {-7.0f, 7.0f}) {
            float dx = p.x + 19.5f, dy = p.y - ey;
            if (dx > 2.0f) continue;
            float along = std::max(0.0f, -dx) / (3.6f * flame);
            float spread = 1.3f + along * 0.5f;
            float k = exact::Exp(-(dy * dy) / (spread * spread)) * exact::Exp(-along * along);
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
    // The hull's shadow on the wing roots.
    Darken(
        cv, pl, [](V2 p) { return std::fabs(Sd_Polygon(p, Ship_Hull()) - 0.8f) - 0.8f; }, 0.65f);
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
    const Rgb armour = Hex(196, 36, 48), pod = Hex(86, 70, 96), hot = Hex(255, 150, 50);
    // A crescent wing with its horns forward, cut by a circle in front of its own.
    auto crescent = [](V2 p) {
        return std::max(Sd_Circle(p, {-2.0f, 0.0f}, 15.0f), -Sd_Circle(p, {5.0f, 0.0f}, 12.5f));
    };
    Fill(cv, pl, crescent, Metal(armour, 3.0f, 0.55f, 14.0f));
    // Armour seams across the wing, and a black-and-amber band near its rim.
    Darken(
        cv, pl,
        [=](V2 p) {
            float band = std::fabs(Sd_Circle(p, {-2.0f, 0.0f}, 12.2f)) - 0.3f;
            float seams = Min(Sd_Segment(p, {-8.0f, -5.0f}, {-14.0f, -9.0f}, 0.3f),
                              Sd_Segment(p, {-8.0f, 5.0f}, {-14.0f, 9.0f}, 0.3f));
            return std::max(crescent(p) + 0.5f, Min(band, seams));
        },
        0.45f);
    // Gun ports glowing at the tips of the horns, and engine vents on the trailing edge.
    for (float side : {-1.0f, 1.0f}) {
        V2 tip = {3.0f, 13.0f * side}; // on the horn, where it is thick enough to hold it
        Fill(
            cv, pl, [tip](V2 p) { return Sd_Circle(p, tip, 1.2f); },
            [hot](const Hit &) { return hot; });
        V2 vent = {-15.0f, 5.0f * side};
        Fill(
            cv, pl, [vent](V2 p) { return Sd_Box(p, vent, 1.1f, 2.0f, 0.6f); },
            [](const Hit &h) {
                return Mix(Hex(200, 60, 10), Hex(255, 210, 120), Clamp01(-h.d / 1.0f));
            });
    }
    // The fuselage pod and its spiked prow.
    static const std::vector<V2> beak = Mirror_Y({{21.0f, 0.0f}, {12.0f, -2.6f}, {9.0f, -2.6f}});
    Fill(
        cv, pl, [](V2 p) { return Sd_Polygon(p, beak); }, Metal(pod, 1.5f, 0.7f, 20.0f));
    Fill(
        cv, pl, [](V2 p) { return std::max(Sd_Polygon(p, beak), 17.5f - p.x); },
        [hot](const Hit &) { return hot; });
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Ellipse(p, {2.0f, 0.0f}, 11.0f, 5.2f);
        },
        Metal(pod, 3.0f, 0.7f, 20.0f));
    Darken(
        cv, pl,
        [](V2 p) {
            return std::max(Sd_Ellipse(p, {2.0f, 0.0f}, 10.5f, 4.7f), std::fabs(p.x + 3.0f) - 0.3f);
        },
        0.5f);
    // The green sensor eye, glowing.
    Glow(cv, pl, [](V2 p) {
        V2 q = p - V2{6.0f, 0.0f};
        return Rgb{0.3f, 0.9f, 0.1f} * (0.7f * exact::Exp(-(q.x * q.x / 16.0f + q.y * q.y / 6.0f)));
    });
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Ellipse(p, {6.0f, 0.0f}, 3.4f, 2.2f);
        },
        [](const Hit &h) {
            float t = Clamp01(-h.d / 2.0f);
            return Mix(Hex(40, 150, 20), Hex(235, 255, 160), t);
        });
}

void Paint_Missile(Canvas &cv, float angle) {
    Place pl = Make_Place(cv.w * 0.5f, cv.h * 0.5f, 1.0f, angle);
    Glow(cv, pl, [](V2 p) {
        float dx = p.x + 6.0f;
        if (dx > 0.5f) return Rgb{0, 0, 0};
        float along = -dx / 3.3f, spread = 1.1f + along * 0.5f;
        float k = exact::Exp(-(p.y * p.y) / (spread * spread)) * exact::Exp(-along * along);
        return Rgb{1.0f, 0.7f, 0.2f} * (k * 1.4f) + Rgb{0.4f, 0.3f, 0.2f} * (k * k);
    });
    static const std::vector<V2> fin = {
        {0.0f, -2.0f}, {-4.0f, -5.5f}, {-5.5f, -5.5f}, {-4.5f, -2.0f}};
    static const std::vector<V2> body = Mirror_Y({{16.0f, 0.0f}, {12.0f, -2.2f}, {-5.0f, -2.2f}});
    for (int side = 0; side < 2; ++side)
        Fill(
            cv, pl, [side](V2 p) { return Sd_Polygon(side ? Flip(p) : p, fin); },
            Metal(Hex(200, 40, 40), 1.0f));
    Fill(
        cv, pl, [](V2 p) { return Sd_Polygon(p, body); }, Metal(Hex(220, 224, 232), 1.6f, 0.7f));
    Fill(
        cv, pl, [](V2 p) { return std::max(Sd_Polygon(p, body), 11.0f - p.x); },
        Metal(Hex(220, 40, 40), 1.6f, 0.6f));
    Fill(
        cv, pl,
        [](V2 p) {
            return Sd_Box(p, {-5.5f, 0.0f}, 0.8f, 1.3f, 0.3f);
        },
        Metal(Hex(90, 90, 100), 1.0f));
}
