#include "engine/elementary.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

// Each function evaluates its result as a double-double (an unevaluated sum
// of two doubles, about 106 bits) with an error far below 2^-100 of the
// result, and rounds that sum once. The rounding can only go the wrong way
// when the exact result lies within that error of the halfway point between
// two doubles, about one argument in 2^47. Every step is an IEEE operation
// on doubles (no fused multiply-add: the build keeps -ffp-contract=off), so
// the bits do not depend on the compiler's or the platform's mathematics
// library.

namespace quillet::elementary {
namespace {

struct Dd {
    double hi;
    double lo;
};

Dd QuickTwoSum(double a, double b) {  // |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}

Dd TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// Dekker's exact product; the operands here stay far from overflow.
Dd TwoProduct(double a, double b) {
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const double p = a * b;
    const double ta = kSplitter * a;
    const double ah = ta - (ta - a);
    const double al = a - ah;
    const double tb = kSplitter * b;
    const double bh = tb - (tb - b);
    const double bl = b - bh;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

Dd Add(Dd a, Dd b) {
    Dd s = TwoSum(a.hi, b.hi);
    const Dd t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = QuickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return QuickTwoSum(s.hi, s.lo);
}

Dd Negate(Dd a) { return {-a.hi, -a.lo}; }

Dd Multiply(Dd a, Dd b) {
    Dd p = TwoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return QuickTwoSum(p.hi, p.lo);
}

Dd Divide(Dd a, Dd b) {
    const double q1 = a.hi / b.hi;
    Dd r = Add(a, Negate(Multiply(b, {q1, 0.0})));
    const double q2 = r.hi / b.hi;
    r = Add(r, Negate(Multiply(b, {q2, 0.0})));
    const double q3 = r.hi / b.hi;
    return Add(QuickTwoSum(q1, q2), {q3, 0.0});
}

// sum of coefficients[i] * t^i by Horner's rule
template <std::size_t N>
Dd Polynomial(const std::array<Dd, N>& coefficients, Dd t) {
    Dd sum = coefficients[N - 1];
    for (std::size_t i = N - 1; i-- > 0;)
        sum = Add(Multiply(sum, t), coefficients[i]);
    return sum;
}

// ln 2 and pi/2 to about 106 and 160 bits.
constexpr Dd kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr double kHalfPi1 = 0x1.921fb54442d18p+0;
constexpr double kHalfPi2 = 0x1.1a62633145c07p-54;
constexpr double kHalfPi3 = -0x1.f1976b7ed8fbcp-110;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// 1/(2j+1) for the series of atanh: 2^-110 > 0.0295^23, the largest
// square of s = (m - 1)/(m + 1) for m in [sqrt(1/2), sqrt(2)).
constexpr std::size_t kAtanhTerms = 23;
// (-1)^j/(2j)! and (-1)^j/(2j+1)! for |r| <= pi/4 (and a little more):
// 0.64^15/30! < 2^-115.
constexpr std::size_t kTaylorTerms = 16;

// 1/n! for e^r with |r| <= ln(2)/2 (and a little more): 0.35^22/22! < 2^-105.
constexpr std::size_t kExpTerms = 23;
// ln(10)/20, for an amplitude of a level in decibels.
constexpr Dd kLn10Over20{0x1.d791c5f888822p-4, 0x1.abeeabde89357p-58};

struct Coefficients {
    std::array<Dd, kAtanhTerms> atanh{};
    std::array<Dd, kTaylorTerms> cosine{};
    std::array<Dd, kTaylorTerms> sine{};
    std::array<Dd, kExpTerms> exp{};
};

const Coefficients& Series() {
    static const Coefficients series = [] {
        Coefficients c;
        for (std::size_t j = 0; j < kAtanhTerms; ++j)
            c.atanh[j] = Divide({1.0, 0.0}, {static_cast<double>(2 * j + 1), 0.0});
        Dd inverseFactorial{1.0, 0.0};  // 1/n!
        for (std::size_t n = 0; n < 2 * kTaylorTerms; ++n) {
            if (n > 0)
                inverseFactorial = Divide(inverseFactorial, {static_cast<double>(n), 0.0});
            const Dd term = (n / 2) % 2 == 0 ? inverseFactorial : Negate(inverseFactorial);
            (n % 2 == 0 ? c.cosine : c.sine)[n / 2] = term;
        }
        Dd factorial{1.0, 0.0};
        for (std::size_t n = 0; n < kExpTerms; ++n) {
            if (n > 0)
                factorial = Multiply(factorial, {static_cast<double>(n), 0.0});
            c.exp[n] = Divide({1.0, 0.0}, factorial);
        }
        return c;
    }();
    return series;
}

// sin and cos of x: x reduced by the nearest multiple k of pi/2 to |r| of
// at most about pi/4, then the Taylor series of r; k mod 4 picks which.
double SineOrCosine(double x, bool cosine) {
    if (!std::isfinite(x))
        return std::numeric_limits<double>::quiet_NaN();
    // Below 2^-27, x^2/2 and x^2/6 are under half a unit in the last place:
    // sin x rounds to x and cos x to 1.
    if (std::fabs(x) < 0x1p-27)
        return cosine ? 1.0 : x;

    const double k = std::round(x * kTwoOverPi);
    Dd r = Add({x, 0.0}, Negate(TwoProduct(k, kHalfPi1)));
    r = Add(r, Negate(TwoProduct(k, kHalfPi2)));
    r = Add(r, {-(k * kHalfPi3), 0.0});

    const Coefficients& series = Series();
    const Dd r2 = Multiply(r, r);
    const long quadrant = (static_cast<long>(std::fmod(k, 4.0)) + 4 + (cosine ? 1 : 0)) % 4;
    Dd result = quadrant % 2 == 0 ? Multiply(r, Polynomial(series.sine, r2)) : Polynomial(series.cosine, r2);
    if (quadrant >= 2)
        result = Negate(result);
    return result.hi + result.lo;
}

// e^x with x = k ln 2 + r, |r| <= ln(2)/2, for |x| below about 750.
double ExpOf(Dd x) {
    const double k = std::round(x.hi / kLn2.hi);
    const Dd r = Add(x, Negate(Multiply({k, 0.0}, kLn2)));
    const Dd power = Polynomial(Series().exp, r);
    return std::ldexp(power.hi + power.lo, static_cast<int>(k));
}

// atan t for 0 <= t <= 1: the angle halved twice (tan(a/2) = t / (1 +
// sqrt(1 + t^2))), to at most pi/16, then its series to 12 terms.
double ArcTangentOfAtMostOne(double t) {
    for (int i = 0; i < 2; ++i)
        t = t / (1.0 + std::sqrt(1.0 + t * t));
    const double t2 = t * t;
    double sum = 0.0;
    for (int k = 12; k >= 1; --k)
        sum = t2 * (1.0 / (2 * k + 1) - sum);
    return 4.0 * (t - t * sum);
}

}  // namespace

double Sin(double x) { return SineOrCosine(x, false); }

double Cos(double x) { return SineOrCosine(x, true); }

double Log(double x) {
    if (std::isnan(x) || x == std::numeric_limits<double>::infinity())
        return x;
    if (x == 0.0)
        return -std::numeric_limits<double>::infinity();
    if (x < 0.0)
        return std::numeric_limits<double>::quiet_NaN();

    // x = 2^k m with m in [sqrt(1/2), sqrt(2)); subnormals are scaled first.
    int k = 0;
    if (x < std::numeric_limits<double>::min()) {
        x *= 0x1p54;
        k = -54;
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = std::bit_cast<double>((bits & 0x000F'FFFF'FFFF'FFFFu) | 0x3FF0'0000'0000'0000u);
    if (m > 0x1.6a09e667f3bcdp+0) {  // sqrt(2)
        m *= 0.5;
        ++k;
    }
    // ln m = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...), s = (m - 1)/(m + 1);
    // m - 1 is exact.
    const Dd s = Divide({m - 1.0, 0.0}, TwoSum(m, 1.0));
    const Dd lnM = Multiply(Multiply(s, Polynomial(Series().atanh, Multiply(s, s))), {2.0, 0.0});
    const Dd result = Add(Multiply({static_cast<double>(k), 0.0}, kLn2), lnM);
    return result.hi + result.lo;
}

double DecibelsToAmplitude(double db) {
    if (std::isnan(db))
        return db;
    // Beyond these the amplitude overflows or is below every subnormal.
    if (db > 6200.0)
        return std::numeric_limits<double>::infinity();
    if (db < -6500.0)
        return 0.0;
    return ExpOf(Multiply({db, 0.0}, kLn10Over20));
}

double Exp(double x) {
    if (std::isnan(x))
        return x;
    if (x > 710.0)
        return std::numeric_limits<double>::infinity();
    if (x < -746.0)
        return 0.0;
    return ExpOf({x, 0.0});
}

double Hypot(double x, double y) {
    x = std::fabs(x);
    y = std::fabs(y);
    if (std::isinf(x) || std::isinf(y))
        return std::numeric_limits<double>::infinity();
    const double larger = std::fmax(x, y);
    if (larger == 0.0 || std::isnan(larger) || std::isnan(x + y))
        return x + y;
    // Scaled by a power of two (exactly) where the squares would overflow
    // or lose bits below the normal range.
    if (larger > 0x1p500 || larger < 0x1p-500) {
        const int exponent = std::ilogb(larger);
        const double a = std::ldexp(x, -exponent), b = std::ldexp(y, -exponent);
        return std::ldexp(std::sqrt(a * a + b * b), exponent);
    }
    return std::sqrt(x * x + y * y);
}

double Atan2(double y, double x) {
    constexpr double kPiHigh = 0x1.921fb54442d18p+1, kPiLow = 0x1.1a62633145c07p-53;
    constexpr double kHalfPiHigh = 0x1.921fb54442d18p+0, kHalfPiLow = 0x1.1a62633145c07p-54;
    if (std::isnan(x) || std::isnan(y))
        return x + y;
    if (y == 0.0)
        return std::signbit(x) ? std::copysign(kPiHigh, y) : y;
    if (x == 0.0 || (std::isinf(y) && !std::isinf(x)))
        return std::copysign(kHalfPiHigh, y);
    if (std::isinf(x) && std::isinf(y))
        return std::copysign(std::signbit(x) ? 3 * kHalfPiHigh / 2 : kHalfPiHigh / 2, y);
    if (std::isinf(x))
        return std::signbit(x) ? std::copysign(kPiHigh, y) : std::copysign(0.0, y);
    // The angle of (|x|, |y|) in [0, pi/2] from the arc tangent of the
    // smaller over the larger, then placed in its quadrant.
    const double ax = std::fabs(x), ay = std::fabs(y);
    double angle =
        ay <= ax ? ArcTangentOfAtMostOne(ay / ax) : (kHalfPiHigh - ArcTangentOfAtMostOne(ax / ay)) + kHalfPiLow;
    if (std::signbit(x))
        angle = (kPiHigh - angle) + kPiLow;
    return std::copysign(angle, y);
}

double FastLog(double x) {
    if (std::isnan(x) || x == std::numeric_limits<double>::infinity())
        return x;
    if (x == 0.0)
        return -std::numeric_limits<double>::infinity();
    if (x < 0.0)
        return std::numeric_limits<double>::quiet_NaN();
    int k = 0;
    if (x < std::numeric_limits<double>::min()) {
        x *= 0x1p54;
        k = -54;
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = std::bit_cast<double>((bits & 0x000F'FFFF'FFFF'FFFFu) | 0x3FF0'0000'0000'0000u);
    if (m > 0x1.6a09e667f3bcdp+0) {  // sqrt(2)
        m *= 0.5;
        ++k;
    }
    // ln m = ln(1 + f) = 2 atanh(s), s = f / (2 + f), as f - f^2/2 plus a
    // minimax polynomial R in s^2 for the rest; ln 2 in two parts so k ln 2
    // is exact in its high part.
    constexpr double kLn2High = 6.93147180369123816490e-01, kLn2Low = 1.90821492927058770002e-10;
    constexpr double kLg1 = 6.666666666666735130e-01, kLg2 = 3.999999999940941908e-01, kLg3 = 2.857142874366239149e-01,
                     kLg4 = 2.222219843214978396e-01, kLg5 = 1.818357216161805012e-01, kLg6 = 1.531383769920937332e-01,
                     kLg7 = 1.479819860511658591e-01;
    const double f = m - 1.0;  // exact
    const double halfSquare = 0.5 * f * f;
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    const double r = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7))) + w * (kLg2 + w * (kLg4 + w * kLg6));
    const double dk = k;
    return s * (halfSquare + r) + dk * kLn2Low - halfSquare + f + dk * kLn2High;
}

}  // namespace quillet::elementary
