#include "engine/elementary.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

// Sine, cosine and logarithm first try a quick path (a table, a short
// polynomial and a test of whether its result certainly rounds to one
// double, below); the rest of the arguments, and every other function here,
// evaluate the result as a double-double (an unevaluated sum of two doubles,
// about 106 bits) with an error far below 2^-100 of the result, and round
// that sum once. That rounding can only go the wrong way when the exact
// result lies within that error of the halfway point between two doubles,
// about one argument in 2^47. Every step is an IEEE operation on doubles
// (no fused multiply-add: the build keeps -ffp-contract=off), so the bits do
// not depend on the compiler's or the platform's mathematics library.

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

// The accurate paths, for the few arguments whose result the quick paths
// below cannot round with certainty, and for the tables those start from.

Dd SineSeries(Dd r, Dd r2) { return Multiply(r, Polynomial(Series().sine, r2)); }
Dd CosineSeries(Dd r2) { return Polynomial(Series().cosine, r2); }

// sin and cos of x: x reduced by the nearest multiple k of pi/2 to |r| of
// at most about pi/4, then the Taylor series of r; k mod 4 picks which.
// For finite |x| >= 2^-27.
double AccurateSineOrCosine(double x, bool cosine) {
    const double k = std::round(x * kTwoOverPi);
    Dd r = Add({x, 0.0}, Negate(TwoProduct(k, kHalfPi1)));
    r = Add(r, Negate(TwoProduct(k, kHalfPi2)));
    r = Add(r, {-(k * kHalfPi3), 0.0});

    const Dd r2 = Multiply(r, r);
    const long quadrant = (static_cast<long>(std::fmod(k, 4.0)) + 4 + (cosine ? 1 : 0)) % 4;
    Dd result = quadrant % 2 == 0 ? SineSeries(r, r2) : CosineSeries(r2);
    if (quadrant >= 2)
        result = Negate(result);
    return result.hi + result.lo;
}

// ln x as a double-double, for finite x > 0.
Dd AccurateLog(double x) {
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
    return Add(Multiply({static_cast<double>(k), 0.0}, kLn2), lnM);
}

// The quick paths evaluate the result as an unevaluated sum hi + lo, with a
// proven bound on its error (the derivations are beside each), and return
// the double nearest to it only when every value within the bound rounds to
// that same double. Rounding to nearest is monotone, so it is enough that
// both ends of the interval round alike: the exact result lies between
// them. The bound passed in must also cover the rounding of lo -+ bound,
// which is why each bound below carries a margin. The interval holds a
// halfway point between two doubles for a fraction of about 2^-8 of the
// arguments (sine, cosine) or 2^-11 (logarithm); those take the accurate
// path, which then returns what it always has. Where the quick path
// answers, its result is the correctly rounded one, so it also agrees with
// the accurate path wherever that is right (everywhere but within 2^-100 of
// a halfway point, where the quick path never answers).
std::optional<double> RoundedIfCertain(double hi, double lo, double bound) {
    const double low = hi + (lo - bound);
    const double high = hi + (lo + bound);
    if (low != high)
        return std::nullopt;
    return low;
}

// sin(n pi / 128) for n = 0 .. 255 as double-doubles, within 2^-100 of each
// (relative): the angles to about 2^-104, then the series above of an angle
// of at most pi/4.
using SineSteps = std::array<Dd, 256>;

const SineSteps& SineOfSteps() {
    static const SineSteps table = [] {
        // pi/128 = (pi/2)/64, exactly scaled
        const Dd step{kHalfPi1 / 64, kHalfPi2 / 64};
        std::array<Dd, 65> quadrant{};  // sin(n pi/128) for n = 0 .. 64
        for (int n = 0; n <= 64; ++n) {
            const int m = n <= 32 ? n : 64 - n;  // sin(n step) = cos((64 - n) step)
            const Dd angle = Add(Multiply(step, {static_cast<double>(m), 0.0}), {m * (kHalfPi3 / 64), 0.0});
            const Dd angle2 = Multiply(angle, angle);
            quadrant[n] = n <= 32 ? SineSeries(angle, angle2) : CosineSeries(angle2);
        }
        quadrant[0] = {0.0, 0.0};
        quadrant[64] = {1.0, 0.0};
        SineSteps t{};
        for (int n = 0; n < 64; ++n) {
            t[n] = quadrant[n];                // [0, pi/2)
            t[n + 64] = quadrant[64 - n];      // sin(pi/2 + a) = cos a = sin(pi/2 - a)
            t[n + 128] = Negate(quadrant[n]);  // sin(pi + a) = -sin a
            t[n + 192] = Negate(quadrant[64 - n]);
        }
        return t;
    }();
    return table;
}

// The quick sine (cosine: the same with the table shifted a quarter turn).
//
// x = j pi/128 + r with |r| <= pi/256 (and 2^-40 more); a = j pi/128. With
// A = sin a and B = cos a (for the cosine A = cos a, B = -sin a) from the
// table, the result is A cos r + B sin r.
//
// Reduction, for |x| < 2^14, so |j| < 2^20: pi/128 is split into P1 and P2
// of 33 significant bits and P3 of 53 (together within 2^-128.9 of it), so
// j P1 and j P2 are exact; x - j P1 is exact too, being a multiple of the
// smaller of ulp(x) and 2^-38 below 2^-6 in magnitude (and j = 0 where
// |x| < 2^-7). Then r = rh + rl within 2^-107 (j times the rest of pi/128,
// the rounding of j P3 and of its subtraction); sin(a + r) moves by at most
// that much.
//
// Kernel, |rh| <= 2^-6.348, z = rh^2 rounded <= 2^-12.696:
//  sin rh - rh = rh z (-1/6 + z/120 - z^2/5040), at most 2^-15.28 |rh|,
//   within 2^-64.9 |rh| (four roundings and the coefficients' 2^-66.1,
//   dropping -rl z/2 2^-66.7, the series' tail 2^-69.3);
//  cos r - 1 = z (-1/2 + z/24 - z^2/720 + z^3/40320) - rh rl, at most
//   2^-13.7, within 2^-64.5 absolutely (z's rounding, three more, the
//   tail 2^-85);
//  B rh exactly as ph + pl (Dekker), A.hi + ph exactly as sh + sl;
//  t = A.hi (cos r - 1) + B.hi (rl + sin rh - rh) + A.lo + B.lo rh + sl + pl,
//   its five roundings within 2^-64.4 M, with M = |A.hi| + |rh|, and the
//   products of the low parts with the small terms dropped, 2^-66.7 M;
//  the table within 2^-99 M.
// In all within 2^-62.9 M + 2^-107 of sin x, and 2^-66.5 M for the
// rounding of t -+ bound: the bound 2^-62 M + 2^-106 covers both.
constexpr double kQuickTrigLimit = 0x1p14;
constexpr double kStepsPerRadian = 0x1.45f306dc9c883p+5;  // 128/pi
constexpr double kStep1 = 0x1.921fb544p-6, kStep2 = 0x1.0b4611a6p-40, kStep3 = 0x1.3198a2e037073p-75;
constexpr double kRoundingShifter = 0x1.8p52;  // (y + this) - this is y rounded to a whole number, |y| < 2^51

std::optional<double> QuickSineOrCosine(double x, bool cosine) {
    const double shifted = x * kStepsPerRadian + kRoundingShifter;
    const double j = shifted - kRoundingShifter;
    // The low bits of shifted hold j mod 256 (two's complement for j < 0).
    const auto step = static_cast<unsigned>(std::bit_cast<std::uint64_t>(shifted)) + (cosine ? 64u : 0u);
    const Dd r0 = TwoSum(x - j * kStep1, -(j * kStep2));
    const Dd r = TwoSum(r0.hi, r0.lo - j * kStep3);

    const SineSteps& table = SineOfSteps();
    const Dd a = table[step & 255u], b = table[(step + 64u) & 255u];
    const double rh = r.hi, rl = r.lo;
    const double z = rh * rh;
    const double sinTail = rh * z * (-0x1.5555555555555p-3 + z * (0x1.1111111111111p-7 + z * -0x1.a01a01a01a01ap-13));
    const double cosTail =
        z * (-0.5 + z * (0x1.5555555555555p-5 + z * (-0x1.6c16c16c16c17p-10 + z * 0x1.a01a01a01a01ap-16))) - rh * rl;
    const Dd p = TwoProduct(b.hi, rh);
    const Dd s = TwoSum(a.hi, p.hi);
    const double t = ((a.hi * cosTail + b.hi * (rl + sinTail)) + (a.lo + b.lo * rh)) + (s.lo + p.lo);
    return RoundedIfCertain(s.hi, t, 0x1p-62 * (std::fabs(a.hi) + std::fabs(rh)) + 0x1p-106);
}

double SineOrCosine(double x, bool cosine, bool tryQuick) {
    if (!std::isfinite(x))
        return std::numeric_limits<double>::quiet_NaN();
    // Below 2^-27, x^2/2 and x^2/6 are under half a unit in the last place:
    // sin x rounds to x and cos x to 1.
    if (std::fabs(x) < 0x1p-27)
        return cosine ? 1.0 : x;
    if (tryQuick && std::fabs(x) < kQuickTrigLimit) {
        if (const auto quick = QuickSineOrCosine(x, cosine))
            return *quick;
    }
    return AccurateSineOrCosine(x, cosine);
}

// For the quick logarithm: z in [0.6875, 1.375) in 256 intervals of
// 2^-9 below 1 and 2^-8 above, by the bits of z; for each an inverse c of
// its middle with 20 significant bits, and -ln c as a double-double within
// 2^-100 (relative). The two intervals beside 1 take c = 1, so that x near
// 1 keeps all its digits.
constexpr std::uint64_t kLogOffset = 0x3FE6'0000'0000'0000u;  // 0.6875

struct LogStep {
    double inverse;
    Dd minusLog;
};
using LogSteps = std::array<LogStep, 256>;

const LogSteps& LogOfSteps() {
    static const LogSteps table = [] {
        LogSteps t{};
        for (std::uint64_t i = 0; i < 256; ++i) {
            const double low = std::bit_cast<double>(kLogOffset + (i << 44));
            const double high = std::bit_cast<double>(kLogOffset + ((i + 1) << 44));
            if (low == 1.0 || high == 1.0) {
                t[i] = {1.0, {0.0, 0.0}};
                continue;
            }
            const double inverse = std::bit_cast<double>(std::bit_cast<std::uint64_t>(2.0 / (low + high)) &
                                                         ~((std::uint64_t{1} << 33) - 1));
            t[i] = {inverse, Negate(AccurateLog(inverse))};
        }
        return t;
    }();
    return table;
}

// The quick logarithm of a positive normal x.
//
// x = 2^k z with z in [0.6875, 1.375); c and -ln c from the table; then
// ln x = k ln 2 - ln c + ln(1 + r) with r = z c - 1 exactly: z = zh + zl
// with zh of 33 significant bits and zl of 20, so zh c and zl c are exact
// and zh c - 1 too (zh c lies within a factor of two of 1); r = rh + rl.
// |r| <= 2^-8 (the widest interval beside 1; elsewhere 2^-9 and c's 2^-19).
// ln 2 = L1 + L2 with L1 of 42 bits, so k L1 is exact (|k| < 2^11), within
// 2^-102 of it.
//
// ln(1 + r) = rh - rh^2/2 + rh^3 (1/3 - rh/4 + ... + rh^6/9) + rl (1 - rh),
// the tail beyond rh^9 2^-75 |rh|, the dropped terms in rl 2^-69 |rh|.
// -rh^2/2 = qh + ql exactly (Dekker); rh + qh = vh + vl, k L1 - ln c =
// wh + wl (its high part) and wh + vh = sh + sl, each exactly; the cubic
// term (at most 2^-17.5 |rh|) within 2^-68.4 |rh|, the rest of t with its
// five roundings within 2^-69.5 |rh| + 2^-104 M, M = |k| L1 + |ln c| + |rh|;
// the table and ln 2 within 2^-99 M. In all within 2^-66.9 M with the
// rounding of t -+ bound: the bound 2^-65 M covers it.
constexpr double kLn2High = 0x1.62e42fefa38p-1, kLn2Low = 0x1.ef35793c7673p-45;

std::optional<double> QuickLog(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t offset = bits - kLogOffset;
    const LogStep& c = LogOfSteps()[(offset >> 44) & 255u];
    const double k = static_cast<double>(static_cast<std::int64_t>(offset) >> 52);
    const double z = std::bit_cast<double>(bits - (offset & 0xFFF0'0000'0000'0000u));
    const double zHigh = std::bit_cast<double>(std::bit_cast<std::uint64_t>(z) & ~((std::uint64_t{1} << 20) - 1));
    const double zLow = z - zHigh;
    const Dd r = TwoSum(zHigh * c.inverse - 1.0, zLow * c.inverse);
    const double rh = r.hi, rl = r.lo;

    const Dd q = TwoProduct(rh, -0.5 * rh);
    const Dd v = TwoSum(rh, q.hi);
    const double cubic =
        rh * (rh * rh) *
        (0x1.5555555555555p-2 +
         rh * (-0.25 + rh * (0x1.999999999999ap-3 +
                             rh * (-0x1.5555555555555p-3 +
                                   rh * (0x1.2492492492492p-3 + rh * (-0.125 + rh * 0x1.c71c71c71c71cp-4))))));
    const Dd w = TwoSum(k * kLn2High, c.minusLog.hi);
    const Dd s = TwoSum(w.hi, v.hi);
    const double t = ((cubic + (rl - rl * rh)) + (q.lo + v.lo)) + ((k * kLn2Low + c.minusLog.lo) + (w.lo + s.lo));
    return RoundedIfCertain(s.hi, t, 0x1p-65 * (std::fabs(k) * kLn2High + std::fabs(c.minusLog.hi) + std::fabs(rh)));
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

double Logarithm(double x, bool tryQuick) {
    if (std::isnan(x) || x == std::numeric_limits<double>::infinity())
        return x;
    if (x == 0.0)
        return -std::numeric_limits<double>::infinity();
    if (x < 0.0)
        return std::numeric_limits<double>::quiet_NaN();
    if (tryQuick && x >= std::numeric_limits<double>::min()) {
        if (const auto quick = QuickLog(x))
            return *quick;
    }
    const Dd result = AccurateLog(x);
    return result.hi + result.lo;
}

}  // namespace

double Sin(double x) { return SineOrCosine(x, false, true); }

double Cos(double x) { return SineOrCosine(x, true, true); }

double Log(double x) { return Logarithm(x, true); }

double accurate::Sin(double x) { return SineOrCosine(x, false, false); }
double accurate::Cos(double x) { return SineOrCosine(x, true, false); }
double accurate::Log(double x) { return Logarithm(x, false); }

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

}  // namespace quillet::elementary
