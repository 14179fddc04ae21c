// The data generators' own elementary functions: sin, cos, exp, log, pow, atan2 and tanh built
// from + - * / and sqrt alone, evaluated in a fixed order, so that a picture or a sound comes out
// the same bytes whatever C library (and its rounding) the generator runs on.
#pragma once
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace exact {

// Why each piece is exact: IEEE 754 rounds + - * / and sqrt correctly on every conforming
// system, floor and the comparisons are exact, and the build turns off fused multiply-adds
// (-ffp-contract=off). Constants are written in hexadecimal so no decimal parser is involved.
inline constexpr double kPi = 0x1.921fb54442d18p+1;
inline constexpr double kHalfPi = 0x1.921fb54442d18p+0;
inline constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
inline constexpr double kLn2 = 0x1.62e42fefa39efp-1;
inline constexpr double kInvLn2 = 0x1.71547652b82fep+0;

namespace detail {

// pi/2 in three pieces of 33 bits (the last one the rest): k * piece is exact for |k| < 2^20,
// so the reduced argument keeps its accuracy up to |x| of about a million.
inline constexpr double kHalfPi1 = 0x1.921fb54400000p+0;
inline constexpr double kHalfPi2 = 0x1.0b4611a600000p-34;
inline constexpr double kHalfPi3 = 0x1.3198a2e037073p-69;
// ln 2 in two pieces: the first has 32 bits, so k * piece is exact for every exponent.
inline constexpr double kLn2Hi = 0x1.62e42fee00000p-1;
inline constexpr double kLn2Lo = 0x1.a39ef35793c76p-33;

// 2^k as a double for -1022 <= k <= 1023, built from its bits.
inline double Pow2(int k) {
    return std::bit_cast<double>(static_cast<uint64_t>(k + 1023) << 52);
}

// Taylor series of sin and cos on |r| <= pi/4, where the first omitted term is below 1e-18.
inline double Sin_Poly(double r) {
    const double z = r * r;
    double p = 1.0 / 355687428096000.0; // 1/17!
    p = p * z - 1.0 / 1307674368000.0;  // 1/15!
    p = p * z + 1.0 / 6227020800.0;     // 1/13!
    p = p * z - 1.0 / 39916800.0;       // 1/11!
    p = p * z + 1.0 / 362880.0;         // 1/9!
    p = p * z - 1.0 / 5040.0;           // 1/7!
    p = p * z + 1.0 / 120.0;            // 1/5!
    p = p * z - 1.0 / 6.0;              // 1/3!
    return r + r * z * p;
}
inline double Cos_Poly(double r) {
    const double z = r * r;
    double p = 1.0 / 20922789888000.0; // 1/16!
    p = p * z - 1.0 / 87178291200.0;   // 1/14!
    p = p * z + 1.0 / 479001600.0;     // 1/12!
    p = p * z - 1.0 / 3628800.0;       // 1/10!
    p = p * z + 1.0 / 40320.0;         // 1/8!
    p = p * z - 1.0 / 720.0;           // 1/6!
    p = p * z + 1.0 / 24.0;            // 1/4!
    p = p * z - 0.5;                   // 1/2!
    return 1.0 + z * p;
}

// sin (quadrant 0), cos (1), -sin (2), -cos (3) of the reduced argument.
inline double Quadrant(double r, int64_t q) {
    switch (q & 3) {
    case 0:
        return Sin_Poly(r);
    case 1:
        return Cos_Poly(r);
    case 2:
        return -Sin_Poly(r);
    default:
        return -Cos_Poly(r);
    }
}

// x = k pi/2 + r with |r| <= about pi/4; returns r and sets k.
inline double Reduce(double x, int64_t &k) {
    const double n = std::floor(x * kTwoOverPi + 0.5);
    k = static_cast<int64_t>(n);
    return ((x - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3;
}

// atan(t) for 0 <= t <= 1: two argument halvings, atan t = 2 atan(t / (1 + sqrt(1 + t^2))),
// bring t below tan(pi/16), where the series' first omitted term is below 1e-17.
inline double Atan_Unit(double t) {
    for (int i = 0; i < 2; ++i)
        t = t / (1.0 + std::sqrt(1.0 + t * t));
    // atan t = t (1 - z/3 + z^2/5 - ... - z^11/23) with z = t^2.
    const double z = t * t;
    double p = -1.0 / 23.0;
    for (int n = 10; n >= 0; --n)
        p = p * z + (n & 1 ? -1.0 : 1.0) / (2 * n + 1);
    return 4.0 * (t * p);
}

} // namespace detail

// sin x, accurate to a few units in the last place for |x| up to about a million.
inline double Sin(double x) {
    int64_t k = 0;
    const double r = detail::Reduce(x, k);
    return detail::Quadrant(r, k);
}
// cos x, as Sin.
inline double Cos(double x) {
    int64_t k = 0;
    const double r = detail::Reduce(x, k);
    return detail::Quadrant(r, k + 1);
}

// e^x; 0 below -708 (where the result would no longer be a normal number), infinity above 709.
inline double Exp(double x) {
    if (x != x) return x;
    if (x < -708.0) return 0.0;
    if (x > 709.0) return HUGE_VAL;
    const double n = std::floor(x * kInvLn2 + 0.5);
    const double r = (x - n * detail::kLn2Hi) - n * detail::kLn2Lo; // |r| <= ln2 / 2
    // Taylor series to r^13 / 13!: the first omitted term is below 5e-18.
    double p = 1.0 / 6227020800.0; // 1/13!
    const double inv[] = {1.0 / 479001600.0,
                          1.0 / 39916800.0,
                          1.0 / 3628800.0,
                          1.0 / 362880.0,
                          1.0 / 40320.0,
                          1.0 / 5040.0,
                          1.0 / 720.0,
                          1.0 / 120.0,
                          1.0 / 24.0,
                          1.0 / 6.0,
                          0.5,
                          1.0,
                          1.0};
    for (double c : inv)
        p = p * r + c;
    // x in -708..709 keeps n in -1021..1023, where 2^n is a normal number.
    return p * detail::Pow2(static_cast<int>(n));
}

// Natural logarithm; -infinity at 0 and NaN below it.
inline double Log(double x) {
    if (!(x > 0.0)) return x == 0.0 ? -HUGE_VAL : std::numeric_limits<double>::quiet_NaN();
    if (x == HUGE_VAL) return x;
    int e = 0;
    if (x < 0x1p-1022) { // a subnormal: make it normal first
        x *= 0x1p54;
        e = -54;
    }
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    e += static_cast<int>(bits >> 52) - 1023;
    double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
    if (m > 0x1.6a09e667f3bcdp+0) { // above sqrt 2: use m / 2, so |s| below stays <= 0.172
        m *= 0.5;
        ++e;
    }
    // log m = 2 atanh s with s = (m - 1) / (m + 1); the series in s^2 to s^22 / 23.
    const double s = (m - 1.0) / (m + 1.0), z = s * s;
    double p = 1.0 / 23.0;
    for (int n = 21; n >= 1; n -= 2)
        p = p * z + 1.0 / n;
    const double de = e;
    return de * detail::kLn2Hi + (2.0 * s * p + de * detail::kLn2Lo);
}

// x^y for x > 0 (and 0^y = 0 for y > 0, x^0 = 1), as e^(y log x).
inline double Pow(double x, double y) {
    if (y == 0.0) return 1.0;
    if (x == 0.0) return y > 0.0 ? 0.0 : HUGE_VAL;
    return Exp(y * Log(x));
}

// The angle of (x, y) in -pi..pi, with the signs of zero as the C library treats them.
inline double Atan2(double y, double x) {
    if (x != x || y != y) return x + y;
    const double ax = std::fabs(x), ay = std::fabs(y);
    double a;
    if (ax == 0.0 && ay == 0.0)
        a = 0.0;
    else if (ax == HUGE_VAL && ay == HUGE_VAL)
        a = kPi / 4.0;
    else if (ay <= ax)
        a = detail::Atan_Unit(ay / ax);
    else
        a = kHalfPi - detail::Atan_Unit(ax / ay);
    if (std::signbit(x)) a = kPi - a;
    return std::signbit(y) ? -a : a;
}

// Hyperbolic tangent, from Exp.
inline double Tanh(double x) {
    const double ax = std::fabs(x);
    if (ax > 22.0) return x > 0.0 ? 1.0 : -1.0; // 1 to the last bit
    const double t = 1.0 - 2.0 / (Exp(2.0 * ax) + 1.0);
    return x < 0.0 ? -t : t;
}

// Single-precision forms for the picture generator: computed in double, rounded once.
inline float Sin(float x) {
    return static_cast<float>(Sin(static_cast<double>(x)));
}
inline float Cos(float x) {
    return static_cast<float>(Cos(static_cast<double>(x)));
}
inline float Exp(float x) {
    return static_cast<float>(Exp(static_cast<double>(x)));
}
inline float Pow(float x, float y) {
    return static_cast<float>(Pow(static_cast<double>(x), static_cast<double>(y)));
}
inline float Atan2(float y, float x) {
    return static_cast<float>(Atan2(static_cast<double>(y), static_cast<double>(x)));
}

} // namespace exact
