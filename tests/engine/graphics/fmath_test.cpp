// Our own sine, cosine, arctangent and power of ten: exact values worked out by hand, and on
// this machine the same results as the C library wherever the game uses them.
#include "engine/graphics/fmath.h"
#include <gtest/gtest.h>
#include <cmath>
#include <random>

namespace {

// The heading of (dx, dy) the way a craft takes its bearing: tenths of a turn, truncated.
int Bearing(double a) {
    int b = (int)((int)(a * 180) / (10 * 3.1415926535));
    return b < 0 ? b + 36 : b;
}

TEST(Fmath, ExactValuesAndSignedZeros) {
    EXPECT_EQ(Fm_Sin(0.0), 0.0);
    EXPECT_TRUE(std::signbit(Fm_Sin(-0.0)));
    EXPECT_EQ(Fm_Cos(0.0), 1.0);
    // pi/4 rounded to a double, and pi, pi/2 likewise.
    EXPECT_EQ(Fm_Atan2(1.0, 1.0), 0x1.921fb54442d18p-1);
    EXPECT_EQ(Fm_Atan2(-1.0, -1.0), -3 * 0x1.921fb54442d18p-1);
    EXPECT_EQ(Fm_Atan2(0.0, -1.0), 0x1.921fb54442d18p+1);
    EXPECT_EQ(Fm_Atan2(-0.0, -1.0), -0x1.921fb54442d18p+1);
    EXPECT_EQ(Fm_Atan2(5.0, 0.0), 0x1.921fb54442d18p+0);
    EXPECT_EQ(Fm_Atan2(-5.0, 0.0), -0x1.921fb54442d18p+0);
    EXPECT_EQ(Fm_Atan2(0.0, 0.0), 0.0);
    EXPECT_TRUE(std::signbit(Fm_Atan2(-0.0, 3.0)));
    EXPECT_EQ(Fm_Atan2(0.0, -0.0), 0x1.921fb54442d18p+1);
    EXPECT_TRUE(std::isnan(Fm_Atan2(NAN, 1.0)));
    EXPECT_EQ(Fm_Atan2(INFINITY, -INFINITY), 3 * 0x1.921fb54442d18p-1);
    EXPECT_TRUE(std::isnan(Fm_Sin(INFINITY)));
    EXPECT_EQ(Fm_Pow10(0.0), 1.0);
    EXPECT_EQ(Fm_Pow10(2.0), 100.0);
    EXPECT_EQ(Fm_Pow10(-1.0), 0.1);
    EXPECT_EQ(Fm_Pow10(-3.0), 0.001);
    EXPECT_EQ(Fm_Pow10(22.0), 1e22); // the largest power of ten a double holds exactly
    EXPECT_EQ(Fm_Pow10(400.0), INFINITY);
    EXPECT_EQ(Fm_Pow10(-400.0), 0.0);
}

TEST(Fmath, QuadrantsFollowTheUnitCircle) {
    // sin and cos of 30, 45 and 60 degrees and their mirror images in the other quadrants.
    const double pi = 3.14159265358979323846;
    for (int deg = -720; deg <= 720; deg += 15) {
        double a = deg * pi / 180;
        EXPECT_NEAR(Fm_Sin(a), std::sin(a), 1e-15) << deg;
        EXPECT_NEAR(Fm_Cos(a), std::cos(a), 1e-15) << deg;
        EXPECT_NEAR(Fm_Sin(a) * Fm_Sin(a) + Fm_Cos(a) * Fm_Cos(a), 1.0, 4e-16) << deg;
    }
    // The arguments are themselves rounded, so the results may sit an ulp from the exact values.
    EXPECT_NEAR(Fm_Sin(pi / 6), 0.5, 2.5e-16);
    EXPECT_NEAR(Fm_Cos(pi / 3), 0.5, 2.5e-16);
    EXPECT_NEAR(Fm_Atan2(1.0, std::sqrt(3.0)), pi / 6, 2.5e-16);
    EXPECT_NEAR(Fm_Atan2(-1.0, -std::sqrt(3.0)), -5 * pi / 6, 1e-15);
}

// The polygon and heading tables: every entry equals the one the C library gives, so seeded
// games on this machine are unchanged by the switch to our own functions.
TEST(Fmath, GameTablesEqualTheCLibrary) {
    for (int i = 0; i < 360; i++) {
        double angle = (double)i * 3.1415926535 / 180.0;
        EXPECT_EQ((float)Fm_Cos(angle), (float)std::cos(angle)) << i;
        EXPECT_EQ((float)Fm_Sin((double)(float)angle), (float)std::sin((double)(float)angle)) << i;
    }
    for (int k = 0; k < 36; k++) {
        double angle = k * 10 * 3.1415926535 / 180;
        EXPECT_EQ((float)Fm_Sin(angle), (float)std::sin(angle)) << k;
        EXPECT_EQ((float)Fm_Cos(angle), (float)std::cos(angle)) << k;
    }
}

// Every attenuation a sound can be given, from silence (-10000) to full volume.
TEST(Fmath, VolumeGainsEqualTheCLibrary) {
    for (int db = -10000; db <= 0; db++) {
        double y = db / 2000.0;
        float mine = (float)Fm_Pow10(y), libc = (float)std::pow(10.0, y);
        ASSERT_EQ(mine, libc) << db;
        ASSERT_EQ(std::lround(65536.0 * mine), std::lround(65536.0 * libc)) << db;
    }
}

// Craft bearings over a grid of whole-pixel offsets around the player and random float offsets
// across the world: the heading the game takes from the angle is always the library's.
TEST(Fmath, CraftBearingsEqualTheCLibrary) {
    int differ = 0;
    for (int dy = -300; dy <= 300; dy++)
        for (int dx = -300; dx <= 300; dx++)
            differ += Bearing(Fm_Atan2(dy, dx)) != Bearing(std::atan2((double)dy, (double)dx));
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> offset(-20000.0f, 20000.0f);
    for (int i = 0; i < 300000; i++) {
        float dy = offset(gen), dx = offset(gen);
        double mine = Fm_Atan2(dy, dx), libc = std::atan2((double)dy, (double)dx);
        differ += Bearing(mine) != Bearing(libc);
        // Both are within an ulp of the true angle.
        ASSERT_NEAR(mine, libc, 4.5e-16) << dy << " " << dx;
    }
    EXPECT_EQ(differ, 0);
}

} // namespace
