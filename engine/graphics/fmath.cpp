// Sine, cosine, arctangent and powers of ten evaluated in double-double arithmetic (about 100
// bits) and rounded once, so every target gets the same nearest double whatever its libm does.
#include "engine/graphics/fmath.h"
#include <cmath>
#include <limits>

namespace {

// An unevaluated sum hi + lo with |lo| at most half an ulp of hi.
struct DD {
    double hi, lo;
};

DD two_sum(double a, double b) {
    double s = a + b;
    double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

DD quick_two_sum(double a, double b) {
    double s = a + b;
    return {s, b - (s - a)};
}

// Dekker's product: exact without a fused multiply-add, which this build never emits.
DD two_prod(double a, double b) {
    const double split = 134217729.0; // 2^27 + 1
    double ca = split * a, cb = split * b;
    double ah = ca - (ca - a), al = a - ah;
    double bh = cb - (cb - b), bl = b - bh;
    double p = a * b;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD add(DD a, DD b) {
    DD s = two_sum(a.hi, b.hi);
    DD t = two_sum(a.lo, b.lo);
    s.lo += t.hi;
    s = quick_two_sum(s.hi, s.lo);
    s.lo += t.lo;
    return quick_two_sum(s.hi, s.lo);
}

DD neg(DD a) {
    return {-a.hi, -a.lo};
}

DD sub(DD a, DD b) {
    return add(a, neg(b));
}

DD mul(DD a, DD b) {
    DD p = two_prod(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return quick_two_sum(p.hi, p.lo);
}

DD mul_d(DD a, double b) {
    DD p = two_prod(a.hi, b);
    p.lo += a.lo * b;
    return quick_two_sum(p.hi, p.lo);
}

DD div(DD a, DD b) {
    double q1 = a.hi / b.hi;
    DD r = sub(a, mul_d(b, q1));
    double q2 = r.hi / b.hi;
    r = sub(r, mul_d(b, q2));
    double q3 = r.hi / b.hi;
    DD q = quick_two_sum(q1, q2);
    return add(q, {q3, 0.0});
}

DD sqrt_dd(DD a) {
    if (a.hi <= 0.0) return {0.0, 0.0};
    double s = std::sqrt(a.hi);
    // One Newton step from the double root doubles its precision.
    DD r = sub(a, two_prod(s, s));
    return quick_two_sum(s, r.hi / (2.0 * s));
}

constexpr DD PI = {0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
constexpr DD PI_2 = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr DD LN2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr DD LN10 = {0x1.26bb1bbb55516p+1, -0x1.f48ad494ea3e9p-53};
// Taylor terms stop below this fraction of the first one: far under the double-double's ulp.
constexpr double TINY = 1e-34;

// sin(r) and cos(r) for |r| <= pi/4 by their Taylor series.
void sin_cos_small(DD r, DD *s, DD *c) {
    DD r2 = mul(r, r);
    DD term = r, sum = r;
    for (int n = 2; std::fabs(term.hi) > TINY; n += 2) {
        term = neg(div(mul(term, r2), {(double)n * (double)(n + 1), 0.0}));
        sum = add(sum, term);
    }
    *s = sum;
    term = {1.0, 0.0};
    sum = term;
    for (int n = 1; std::fabs(term.hi) > TINY; n += 2) {
        term = neg(div(mul(term, r2), {(double)n * (double)(n + 1), 0.0}));
        sum = add(sum, term);
    }
    *c = sum;
}

// Reduces x by the nearest multiple k of pi/2; r = x - k pi/2 and the quadrant k mod 4.
DD reduce(double x, int *quadrant) {
    double k = std::nearbyint(x / PI_2.hi);
    *quadrant = (int)((long long)k & 3);
    return sub({x, 0.0}, mul_d(PI_2, k));
}

// atan(z) for 0 <= z <= 1: three halvings of the angle bring z under tan(pi/32), where the
// series needs only a few terms.
DD atan_unit(DD z) {
    for (int i = 0; i < 3; i++)
        z = div(z, add({1.0, 0.0}, sqrt_dd(add({1.0, 0.0}, mul(z, z)))));
    DD z2 = mul(z, z);
    DD power = z, sum = z;
    for (int n = 3; std::fabs(power.hi) > TINY; n += 2) {
        power = neg(mul(power, z2));
        sum = add(sum, div(power, {(double)n, 0.0}));
    }
    return mul_d(sum, 8.0);
}

} // namespace

double Fm_Sin(double x) {
    if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
    if (x == 0.0) return x; // keeps the sign of zero
    int q;
    DD s, c;
    sin_cos_small(reduce(x, &q), &s, &c);
    DD v = q == 0 ? s : q == 1 ? c : q == 2 ? neg(s) : neg(c);
    return v.hi + v.lo;
}

double Fm_Cos(double x) {
    if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
    int q;
    DD s, c;
    sin_cos_small(reduce(x, &q), &s, &c);
    DD v = q == 0 ? c : q == 1 ? neg(s) : q == 2 ? neg(c) : s;
    return v.hi + v.lo;
}

double Fm_Atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) return x + y;
    const double pi = PI.hi, pi_2 = PI_2.hi;
    if (std::isinf(x) || std::isinf(y)) {
        double base;
        if (std::isinf(x) && std::isinf(y))
            base = x > 0 ? pi / 4 : 3 * pi / 4;
        else if (std::isinf(y))
            base = pi_2;
        else
            base = x > 0 ? 0.0 : pi;
        return std::copysign(base, y);
    }
    if (y == 0.0) return std::signbit(x) ? std::copysign(pi, y) : y;
    if (x == 0.0) return std::copysign(pi_2, y);
    double ax = std::fabs(x), ay = std::fabs(y);
    DD a;
    if (ay <= ax)
        a = atan_unit(div({ay, 0.0}, {ax, 0.0}));
    else
        a = sub(PI_2, atan_unit(div({ax, 0.0}, {ay, 0.0})));
    if (x < 0) a = sub(PI, a);
    double v = a.hi + a.lo;
    return y < 0 ? -v : v;
}

double Fm_Pow10(double y) {
    if (std::isnan(y)) return y;
    if (y > 310) return std::numeric_limits<double>::infinity();
    if (y < -330) return 0.0;
    DD t = mul_d(LN10, y);
    double k = std::nearbyint(t.hi / LN2.hi);
    DD r = sub(t, mul_d(LN2, k));
    DD term = {1.0, 0.0}, sum = term;
    for (int n = 1; std::fabs(term.hi) > TINY; n++) {
        term = div(mul(term, r), {(double)n, 0.0});
        sum = add(sum, term);
    }
    return std::ldexp(sum.hi + sum.lo, (int)k);
}
