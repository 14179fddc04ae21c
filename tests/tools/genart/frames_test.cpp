// What the generated frames show: headings of the turning sprites, distinct power-ups, a
// shield gauge that reads 0 to 3, an explosion that grows and fades, a station that turns,
// radar corners in their corners, shot colours, solid shapes without key holes, the title.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/tools/genart/sheet.h"

namespace {

const double kPi = 3.14159265358979;

// Heading j (0..35) whose direction the frame's shape reaches farthest along: the largest
// projection of any non-key pixel centre onto (cos 10j, sin 10j) from the cell centre.
int Farthest_Heading(const Cell &c) {
    int best = -1;
    double best_e = -1e9;
    for (int j = 0; j < 36; ++j) {
        double dx = std::cos(j * kPi / 18.0), dy = std::sin(j * kPi / 18.0), e = -1e9;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                if (c.At(x, y))
                    e = std::max(e, (x + 0.5 - c.w / 2.0) * dx + (y + 0.5 - c.h / 2.0) * dy);
        if (e > best_e) best_e = e, best = j;
    }
    return best;
}

// Farthest reach of the shape from the cell centre along +x, -x, +y, -y.
struct Reach {
    double right = -1e9, left = -1e9, down = -1e9, up = -1e9;
};
Reach Reach_Of(const Cell &c) {
    Reach r;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            if (!c.At(x, y)) continue;
            double dx = x + 0.5 - c.w / 2.0, dy = y + 0.5 - c.h / 2.0;
            r.right = std::max(r.right, dx), r.left = std::max(r.left, -dx);
            r.down = std::max(r.down, dy), r.up = std::max(r.up, -dy);
        }
    return r;
}

int Cyclic_Distance(int a, int b) {
    int d = std::abs(a - b) % 36;
    return std::min(d, 36 - d);
}

void Check_Headings(const char *name, int size) {
    Sheet s = Load_Sheet(name);
    ASSERT_TRUE(s.ok) << name;
    Reach r0 = Reach_Of(Cut(s, 0, 0, size, size));
    EXPECT_GT(r0.right, r0.left + 2.0) << name << ": heading 0 points right";
    EXPECT_GT(r0.right, r0.up) << name;
    EXPECT_GT(r0.right, r0.down) << name;
    Reach r9 = Reach_Of(Cut(s, 9, 0, size, size));
    EXPECT_GT(r9.down, r9.up + 2.0) << name << ": heading 9 points down";
    EXPECT_GT(r9.down, r9.left) << name;
    EXPECT_GT(r9.down, r9.right) << name;
    Reach r27 = Reach_Of(Cut(s, 27, 0, size, size));
    EXPECT_GT(r27.up, r27.down + 2.0) << name << ": heading 27 points up";
    // Every frame k points at k * 10 degrees, clockwise on screen, within one step.
    for (int k = 0; k < 36; ++k)
        EXPECT_LE(Cyclic_Distance(Farthest_Heading(Cut(s, k, 0, size, size)), k), 1)
            << name << " frame " << k;
}

struct Mean {
    double r = 0, g = 0, b = 0;
    int n = 0;
};
Mean Mean_Colour(const Cell &c) {
    Mean m;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            if (c.At(x, y)) m.r += c.R(x, y), m.g += c.G(x, y), m.b += c.B(x, y), ++m.n;
    if (m.n) m.r /= m.n, m.g /= m.n, m.b /= m.n;
    return m;
}

int Differing_Pixels(const Cell &a, const Cell &b) {
    int n = 0;
    for (size_t i = 0; i < a.px.size(); ++i)
        n += a.px[i] != b.px[i];
    return n;
}

// Key pixels whose four neighbours are all part of the shape: stars would show through.
int Key_Holes(const Cell &c) {
    int n = 0;
    for (int y = 1; y + 1 < c.h; ++y)
        for (int x = 1; x + 1 < c.w; ++x)
            if (!c.At(x, y) && c.At(x - 1, y) && c.At(x + 1, y) && c.At(x, y - 1) && c.At(x, y + 1))
                ++n;
    return n;
}

} // namespace

TEST(ArtFrames, ShipCraftAndMissilesPointAlongTheirHeading) {
    Check_Headings("ship.bmp", 60);
    Check_Headings("craft01.bmp", 49);
    Check_Headings("missiles.bmp", 39);
}

TEST(ArtFrames, ShipAndCraftLookDifferent) {
    // The enemy must not pass for the player: other colours at the same heading.
    Sheet ship = Load_Sheet("ship.bmp"), craft = Load_Sheet("craft01.bmp");
    ASSERT_TRUE(ship.ok && craft.ok);
    Mean a = Mean_Colour(Cut(ship, 0, 0, 60, 60)), b = Mean_Colour(Cut(craft, 0, 0, 49, 49));
    double d = std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) +
                         (a.b - b.b) * (a.b - b.b));
    EXPECT_GT(d, 5.0);
    EXPECT_GT(b.r, b.b) << "the craft is warm-coloured";
    EXPECT_GT(a.b, a.r) << "the ship is cool-coloured";
}

TEST(ArtFrames, SolidSpritesHaveNoKeyHoles) {
    struct {
        const char *name;
        int n, cw, ch;
    } sheets[] = {{"ship.bmp", 36, 60, 60},
                  {"craft01.bmp", 36, 49, 49},
                  {"powerups.bmp", 4, 25, 25},
                  {"missiles.bmp", 36, 39, 39}};
    for (const auto &sh : sheets) {
        Sheet s = Load_Sheet(sh.name);
        ASSERT_TRUE(s.ok) << sh.name;
        for (int k = 0; k < sh.n; ++k)
            EXPECT_EQ(Key_Holes(Cut(s, k, 0, sh.cw, sh.ch)), 0) << sh.name << " frame " << k;
    }
    Sheet m = Load_Sheet("rmissile.bmp");
    ASSERT_TRUE(m.ok);
    ASSERT_EQ(m.w, 24);
    ASSERT_EQ(m.h, 80);
    Cell whole; // the whole picture, read as one block from (0, 0)
    whole.w = 24;
    whole.h = 80;
    whole.px = m.px;
    EXPECT_EQ(Key_Holes(whole), 0);
}

TEST(ArtFrames, PowerUpsAreToldApartAtAGlance) {
    Sheet s = Load_Sheet("powerups.bmp");
    ASSERT_TRUE(s.ok);
    Cell f[4];
    Mean m[4];
    for (int k = 0; k < 4; ++k)
        f[k] = Cut(s, k, 0, 25, 25), m[k] = Mean_Colour(f[k]);
    // Shapes: any two pictures differ in at least a quarter of their 625 pixels.
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_GE(Differing_Pixels(f[i], f[j]), 157) << i << " vs " << j;
    // Colours: fuel orange, points gold, shield blue, missiles red.
    EXPECT_GT(m[0].r, m[0].g);
    EXPECT_GT(m[0].g, m[0].b);
    EXPECT_GT(m[1].r, m[1].b);
    EXPECT_GT(m[1].g, m[1].b);
    EXPECT_GT(m[1].g / m[1].r, m[0].g / m[0].r + 0.1) << "the star is yellower than the canister";
    EXPECT_GT(m[2].b, m[2].r + 5);
    EXPECT_GT(m[2].b, m[2].g);
    EXPECT_GT(m[3].r, m[3].g + 5);
    EXPECT_GT(m[3].r, m[3].b + 5);
}

TEST(ArtFrames, ShieldGaugeReadsZeroToThree) {
    Sheet s = Load_Sheet("shields.bmp");
    ASSERT_TRUE(s.ok);
    int lit[4];
    for (int k = 0; k < 4; ++k) {
        Cell c = Cut(s, k, 0, 90, 90);
        lit[k] = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x)
                lit[k] += c.B(x, y) >= 20 && c.G(x, y) >= 16 && c.R(x, y) <= 12; // bright cyan
    }
    EXPECT_EQ(lit[0], 0) << "an empty shield shows no lit segment";
    EXPECT_GT(lit[1], 100);
    EXPECT_GT(lit[2], lit[1] + 100);
    EXPECT_GT(lit[3], lit[2] + 100);
}

TEST(ArtFrames, ExplosionGrowsAndFades) {
    Sheet s = Load_Sheet("expl.bmp");
    ASSERT_TRUE(s.ok);
    int count[4];
    double bright[4];
    for (int k = 0; k < 4; ++k) {
        Cell c = Cut(s, k, 0, 80, 80);
        Mean m = Mean_Colour(c);
        count[k] = m.n;
        bright[k] = m.r + m.g + m.b;
    }
    for (int k = 1; k < 4; ++k) {
        EXPECT_GT(count[k], count[k - 1]) << "picture " << k << " is larger";
        EXPECT_LT(bright[k], bright[k - 1]) << "picture " << k << " is dimmer";
    }
}

TEST(ArtFrames, StationTurnsOverItsEightPictures) {
    Sheet s = Load_Sheet("station00.bmp");
    ASSERT_TRUE(s.ok);
    Cell f[8];
    for (int k = 0; k < 8; ++k)
        f[k] = Cut(s, k, 0, 120, 120);
    for (int k = 0; k < 8; ++k) {
        const Cell &a = f[k], &b = f[(k + 1) % 8];
        EXPECT_GT(Differing_Pixels(a, b), 1000) << "picture " << k << " to the next";
        // Turning the next picture back by 15 degrees about the centre brings its outline
        // onto this one far better than leaving it as it is; the loop closes at 7 -> 0.
        int same_turned = 0, same_still = 0;
        const double c = std::cos(kPi / 12.0), sn = std::sin(kPi / 12.0);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x) {
                double dx = x + 0.5 - 60.0, dy = y + 0.5 - 60.0;
                int tx = static_cast<int>(std::floor(60.0 + dx * c - dy * sn));
                int ty = static_cast<int>(std::floor(60.0 + dx * sn + dy * c));
                bool here = a.At(x, y) != 0;
                bool turned = tx >= 0 && ty >= 0 && tx < 120 && ty < 120 && b.At(tx, ty) != 0;
                same_turned += here == turned;
                same_still += here == (b.At(x, y) != 0);
            }
        EXPECT_GT(same_turned, same_still + 300) << "picture " << k;
    }
}

TEST(ArtFrames, RadarCornersSitInTheirCorners) {
    Sheet s = Load_Sheet("radar.bmp");
    ASSERT_TRUE(s.ok);
    // Frame 0 top left, 1 top right, 2 bottom left, 3 bottom right (drawn at 700/790, 500/590).
    const int corner_x[4] = {0, 9, 0, 9}, corner_y[4] = {0, 0, 9, 9};
    for (int k = 0; k < 4; ++k) {
        Cell c = Cut(s, k, 0, 10, 10);
        int x = corner_x[k], y = corner_y[k], ox = 9 - x, oy = 9 - y;
        EXPECT_NE(c.At(x, y), 0) << k;
        EXPECT_NE(c.At(ox, y), 0) << k << ": arm along the horizontal edge";
        EXPECT_NE(c.At(x, oy), 0) << k << ": arm along the vertical edge";
        EXPECT_EQ(c.At(ox, oy), 0) << k << ": the opposite corner is open";
        EXPECT_EQ(c.At(5, 5), 0) << k << ": the radar shows through the middle";
    }
}

TEST(ArtFrames, ShotsComeInRedGreenBlueYellow) {
    Sheet s = Load_Sheet("bullets.bmp");
    ASSERT_TRUE(s.ok);
    for (int i = 0; i < 16; ++i) {
        Mean m = Mean_Colour(Cut(s, i % 4, i / 4, 13, 13));
        switch (i / 4) {
        case 0:
            EXPECT_GT(m.r, std::max(m.g, m.b) + 3) << i;
            break;
        case 1:
            EXPECT_GT(m.g, std::max(m.r, m.b) + 3) << i;
            break;
        case 2:
            EXPECT_GT(m.b, std::max(m.r, m.g) + 3) << i;
            break;
        default:
            EXPECT_GT(m.r, m.b + 3) << i;
            EXPECT_GT(m.g, m.b + 3) << i;
        }
    }
}

TEST(ArtFrames, MeterMissileStandsUpright) {
    Sheet s = Load_Sheet("rmissile.bmp");
    ASSERT_TRUE(s.ok);
    auto row_width = [&](int y) {
        int n = 0;
        for (int x = 0; x < s.w; ++x)
            n += s.At(x, y) != 0;
        return n;
    };
    EXPECT_EQ(row_width(0), 0) << "nothing cut off above the nose";
    EXPECT_GT(row_width(8), 0);
    EXPECT_LT(row_width(8), row_width(40)) << "the nose is narrower than the body";
    EXPECT_LT(row_width(40), row_width(60)) << "the fins are wider than the body";
}

TEST(ArtFrames, TitleFadesIntoTheBlackScreen) {
    Sheet s = Load_Sheet("marlotitle.bmp");
    ASSERT_TRUE(s.ok);
    // The border rows and columns are black, so the picture has no visible edge on screen.
    int lit_border = 0;
    for (int x = 0; x < 600; ++x)
        lit_border += (s.At(x, 0) != 0) + (s.At(x, 499) != 0);
    for (int y = 0; y < 500; ++y)
        lit_border += (s.At(0, y) != 0) + (s.At(599, y) != 0);
    EXPECT_EQ(lit_border, 0);
    // The name across the upper part: many bright pixels in rows 60 to 160.
    int bright = 0;
    for (int y = 60; y < 160; ++y)
        for (int x = 0; x < 600; ++x) {
            uint16_t v = s.At(x, y);
            bright += ((v >> 10) & 31) >= 24 || ((v >> 5) & 31) >= 24 || (v & 31) >= 24;
        }
    EXPECT_GT(bright, 6000);
}
