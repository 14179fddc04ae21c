// The generators' exact functions: values known by hand (angles of the unit circle, powers of
// two, e), every quadrant and sign of zero, the ends of the ranges, and identities over sweeps.
#include "tools/genmath/exact_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kSqrt2 = 1.4142135623730951, kSqrt3 = 1.7320508075688772;
constexpr double kE = 2.718281828459045;
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Case {
    const char *what;
    double got, want, tolerance;
};

template <size_t N> void Check(const Case (&cases)[N]) {
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (std::isinf(c.want) || c.tolerance == 0.0)
            EXPECT_EQ(c.got, c.want);
        else
            EXPECT_NEAR(c.got, c.want, c.tolerance);
    }
}

using namespace exact;

TEST(ExactMath, SineAndCosineOfKnownAngles) {
    const Case cases[] = {
        {"sin 0", Sin(0.0), 0.0, 0.0},
        {"sin pi/6", Sin(kPi / 6), 0.5, 2e-16},
        {"sin pi/4", Sin(kPi / 4), kSqrt2 / 2, 2e-16},
        {"sin pi/2", Sin(kHalfPi), 1.0, 2e-16},
        {"sin -pi/3", Sin(-kPi / 3), -kSqrt3 / 2, 2e-16},
        {"sin 7pi/6 (third quadrant)", Sin(7 * kPi / 6), -0.5, 8e-16},
        {"sin of a phase after 5000 turns", Sin(10000 * kPi + kPi / 6), 0.5, 1e-11},
        {"cos 0", Cos(0.0), 1.0, 0.0},
        {"cos pi/3", Cos(kPi / 3), 0.5, 2e-16},
        {"cos pi", Cos(kPi), -1.0, 2e-16},
        {"cos 3pi/2", Cos(3 * kHalfPi), 0.0, 1e-15},
    };
    Check(cases);
}

TEST(ExactMath, ExpLogAndPowOfKnownValues) {
    const Case cases[] = {
        {"exp 0", Exp(0.0), 1.0, 0.0},
        {"exp 1", Exp(1.0), kE, 5e-16},
        {"exp -1", Exp(-1.0), 1.0 / kE, 1e-16},
        {"exp 10 ln2", Exp(10 * kLn2), 1024.0, 1e-12},
        {"exp far below: 0", Exp(-800.0), 0.0, 0.0},
        {"exp far above: infinity", Exp(710.0), kInf, 0.0},
        {"log 1", Log(1.0), 0.0, 0.0},
        {"log e", Log(kE), 1.0, 2e-16},
        {"log 1024", Log(1024.0), 10 * kLn2, 2e-15},
        {"log 1.4 (just below sqrt 2)", Log(1.4), 0.3364722366212129, 2e-16},
        {"log 1.5 (just above sqrt 2, taken as 0.75 x 2)", Log(1.5), 0.4054651081081644, 2e-16},
        {"log of the least subnormal", Log(0x1p-1074), -1074 * kLn2, 2e-13},
        {"log 0", Log(0.0), -kInf, 0.0},
        {"pow 2^0.5", Pow(2.0, 0.5), kSqrt2, 4e-16},
        {"pow 2^(12/12), an octave", Pow(2.0, 12 / 12.0), 2.0, 4e-16},
        {"pow 0^3", Pow(0.0, 3.0), 0.0, 0.0},
        {"pow x^0", Pow(0.3, 0.0), 1.0, 0.0},
    };
    Check(cases);
    EXPECT_TRUE(std::isnan(Log(-1.0)));
    EXPECT_TRUE(std::isnan(Exp(std::nan(""))));
}

TEST(ExactMath, Atan2InEveryQuadrantAndOnTheAxes) {
    const Case cases[] = {
        {"(1, 1)", Atan2(1.0, 1.0), kPi / 4, 1e-15},
        {"(1, -1)", Atan2(1.0, -1.0), 3 * kPi / 4, 1e-15},
        {"(-1, -1)", Atan2(-1.0, -1.0), -3 * kPi / 4, 1e-15},
        {"(sqrt3, 1): steeper than 45 degrees", Atan2(kSqrt3, 1.0), kPi / 3, 1e-15},
        {"(-1, -sqrt3)", Atan2(-1.0, -kSqrt3), -5 * kPi / 6, 1e-15},
        {"(1, 0): straight up", Atan2(1.0, 0.0), kHalfPi, 0.0},
        {"(0, -1)", Atan2(0.0, -1.0), kPi, 0.0},
        {"(-0, -1): the other side of the cut", Atan2(-0.0, -1.0), -kPi, 0.0},
        {"(0, 0)", Atan2(0.0, 0.0), 0.0, 0.0},
        {"(0, -0)", Atan2(0.0, -0.0), kPi, 0.0},
        {"(inf, inf)", Atan2(kInf, kInf), kPi / 4, 0.0},
        {"(1e-300, 1e300): the ratio underflows", Atan2(1e-300, 1e300), 0.0, 0.0},
    };
    Check(cases);
}

TEST(ExactMath, TanhAndTheFloatForms) {
    const double half_ln3 = 0.5493061443340549; // tanh = (3 - 1) / (3 + 1)
    const Case cases[] = {
        {"tanh 0", Tanh(0.0), 0.0, 0.0},
        {"tanh ln3/2", Tanh(half_ln3), 0.5, 4e-16},
        {"tanh 30: saturated", Tanh(30.0), 1.0, 0.0},
    };
    Check(cases);
    // The float forms are the double result rounded once, nothing else.
    EXPECT_EQ(Sin(3.0f), static_cast<float>(Sin(3.0)));
    EXPECT_EQ(Atan2(-2.5f, 2.0f), static_cast<float>(Atan2(-2.5, 2.0)));
    EXPECT_EQ(Pow(0.5f, 2.0f), 0.25f);
}

TEST(ExactMath, IdentitiesHoldOverLongSweeps) {
    // A wrong coefficient, quadrant or reduction shows as a broken identity somewhere along a
    // sweep as long as the sound generator's phases (thousands of radians).
    double worst_pythagoras = 0, worst_angle = 0, worst_log = 0, worst_step = 0;
    for (int i = -20000; i <= 20000; ++i) {
        const double x = i * 0.37;
        const double s = Sin(x), c = Cos(x);
        worst_pythagoras = std::max(worst_pythagoras, std::fabs(s * s + c * c - 1.0));
        const double a = i * (kPi / 20001); // inside -pi..pi
        worst_angle = std::max(worst_angle, std::fabs(Atan2(Sin(a), Cos(a)) - a));
        const double v = std::ldexp(1.0 + (i + 20000) / 40001.0, i % 60);
        worst_log = std::max(worst_log, std::fabs(Exp(Log(v)) / v - 1.0));
        // sin(x + h) - sin(x) = 2 cos(x + h/2) sin(h/2): continuity across the quadrant seams.
        const double h = 1e-3;
        worst_step =
            std::max(worst_step, std::fabs((Sin(x + h) - s) - 2 * Cos(x + h / 2) * Sin(h / 2)));
    }
    EXPECT_LT(worst_pythagoras, 1e-15);
    EXPECT_LT(worst_angle, 1e-15);
    EXPECT_LT(worst_log, 1e-14);
    EXPECT_LT(worst_step, 1e-12);
}

} // namespace
