#include "engine/dilogarithm.h"

#include <array>
#include <cmath>

#include "engine/elementary.h"

namespace quillet {
namespace {

constexpr double kPiSquaredOverSix = 1.6449340668482264;

Complex Times(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }

// ln w for Re w > 0.
Complex Logarithm(Complex w) {
    return {0.5 * elementary::Log(w.re * w.re + w.im * w.im), elementary::Atan2(w.im, w.re)};
}

// B_n / (n + 1)! for n = 2, 4, ..., 30: the Bernoulli series
// Li2(z) = u - u^2 / 4 + sum of B_n u^(n+1) / (n+1)!, u = -ln(1 - z).
constexpr std::array<double, 15> kBernoulliTerms{
    0.027777777777777776,   -0.0002777777777777778,  4.72411186696901e-06,  -9.185773074661964e-08,
    1.8978869988971e-09,    -4.0647616451442256e-11, 8.921691020456452e-13, -1.9939295860721074e-14,
    4.518980029619918e-16,  -1.0356517612181247e-17, 2.395218621026187e-19, -5.581785874325009e-21,
    1.3091507554183213e-22, -3.0874198024267403e-24, 7.315975652702203e-26,
};

// Li2 where Re(1 - z) >= 1/2 and |z| < 1: then |u| < 1.3, and the terms
// fall by (|u| / 2 pi)^2 < 0.05 every step, below the last place of the
// sum by the last of them.
Complex BernoulliSeries(Complex z) {
    const Complex log = Logarithm({1.0 - z.re, -z.im});
    const Complex u{-log.re, -log.im};
    const Complex u2 = Times(u, u);
    Complex power = Times(u2, u);  // u^3
    Complex sum{u.re - 0.25 * u2.re, u.im - 0.25 * u2.im};
    for (double c : kBernoulliTerms) {
        sum.re += c * power.re;
        sum.im += c * power.im;
        power = Times(power, u2);
    }
    return sum;
}

}  // namespace

Complex Dilogarithm(Complex z) {
    if (z.re <= 0.5)
        return BernoulliSeries(z);
    // Li2(z) = pi^2 / 6 - ln(z) ln(1 - z) - Li2(1 - z); Re(1 - (1 - z)) > 1/2.
    const Complex w{1.0 - z.re, -z.im};
    const Complex product = Times(Logarithm(z), Logarithm(w));
    const Complex reflected = BernoulliSeries(w);
    return {kPiSquaredOverSix - product.re - reflected.re, -product.im - reflected.im};
}

}  // namespace quillet
