#include "engine/phase_statistics.h"

#include <cmath>

#include "engine/an_types.h"
#include "engine/dilogarithm.h"
#include "engine/elementary.h"
#include "engine/exact_extremes.h"

namespace quillet {
namespace {

Complex ReflectionOf(std::complex<double> z, double z0) {
    const std::complex<double> g = Reflection(z, z0);
    return {g.real(), g.imag()};
}

double Norm(Complex z) { return z.re * z.re + z.im * z.im; }

// The deviation in nepers is ln|1 + Gm| - ln|1 + Gn| + ln|1 - u Gn| - ln|1 - u Gm|
// with u on the unit circle. Expanding the logarithms in powers of u, the
// phase-dependent part is Re of the sum of (Gm^k - Gn^k) u^k / k, whose
// terms are orthogonal over the circle, so its variance is
//   V = 1/2 sum |Gm^k - Gn^k|^2 / k^2
//     = 1/2 (Li2(|Gm|^2) + Li2(|Gn|^2) - 2 Re Li2(Gm conj(Gn))).
// The series is summed as |Gm - Gn|^2 |S_k|^2 / k^2 with
// S_k = (Gm^k - Gn^k) / (Gm - Gn), S_(k+1) = Gm S_k + Gn^k, which is free of
// cancellation when the two are close. Its terms fall as rho^(2k), rho the
// larger magnitude; where that is slow the dilogarithms take over, whose
// cancellation only matters when the two are close as well.
constexpr double kSeriesRhoSquared = 0.81;        // rho <= 0.9: at most about 190 terms
constexpr double kCloseSeriesRhoSquared = 0.995;  // close pairs: at most about 9,000 terms
constexpr double kClose = 1e-6;                   // |Gm - Gn|^2 / (1 - rho^2) below this is close

double VarianceBySeries(Complex gm, Complex gn, double rhoSquared) {
    const double difference = Norm({gm.re - gn.re, gm.im - gn.im});
    if (difference == 0.0)
        return 0.0;
    // |S_k| <= k rho^(k-1), so the terms after k add less than
    // rho^(2k) / (1 - rho^2): stop once that is below the last place.
    const double bound = 1e-17 * (1.0 - rhoSquared);
    Complex s{1.0, 0.0};
    Complex gnPower = gn;  // Gn^k
    double sum = 1.0;      // |S_1|^2 / 1
    double rhoPower = rhoSquared;
    for (int k = 1; rhoPower > bound; ++k) {
        s = {gm.re * s.re - gm.im * s.im + gnPower.re, gm.re * s.im + gm.im * s.re + gnPower.im};
        gnPower = {gn.re * gnPower.re - gn.im * gnPower.im, gn.re * gnPower.im + gn.im * gnPower.re};
        const double next = k + 1.0;
        sum += Norm(s) / (next * next);
        rhoPower *= rhoSquared;
    }
    return 0.5 * difference * sum;
}

double VarianceByDilogarithms(Complex gm, Complex gn) {
    const Complex cross{gm.re * gn.re + gm.im * gn.im, gm.im * gn.re - gm.re * gn.im};
    const double total =
        Dilogarithm({Norm(gm), 0.0}).re + Dilogarithm({Norm(gn), 0.0}).re - 2.0 * Dilogarithm(cross).re;
    return total > 0.0 ? 0.5 * total : 0.0;
}

double Variance(Complex gm, Complex gn) {
    const double rhoSquared = std::fmax(Norm(gm), Norm(gn));
    if (rhoSquared <= kSeriesRhoSquared)
        return VarianceBySeries(gm, gn, rhoSquared);
    const double difference = Norm({gm.re - gn.re, gm.im - gn.im});
    if (rhoSquared <= kCloseSeriesRhoSquared && difference < kClose * (1.0 - rhoSquared))
        return VarianceBySeries(gm, gn, rhoSquared);
    return VarianceByDilogarithms(gm, gn);
}

}  // namespace

std::optional<PhaseStatistics> DeviationStatistics(std::complex<double> measured, double frequencyMHz,
                                                   std::int16_t anType) {
    const double z0 = AnType(anType).referenceImpedanceOhm;
    const Complex gm = ReflectionOf(measured, z0);
    const Complex gn = ReflectionOf(NominalImpedance(anType, frequencyMHz), z0);
    if (!(measured.real() > 0.0) || !(Norm(gm) < 1.0))  // as for ExactExtremes
        return std::nullopt;
    // 20 log10 of a magnitude is 10 / ln(10) times the logarithm of its square.
    static const double decibelsPerNeper = 20.0 / elementary::Log(10.0);
    const double mean =
        0.5 * decibelsPerNeper * elementary::Log(Norm({1.0 + gm.re, gm.im}) / Norm({1.0 + gn.re, gn.im}));
    const double standardDeviation = decibelsPerNeper * std::sqrt(Variance(gm, gn));
    const double rms = std::sqrt(mean * mean + standardDeviation * standardDeviation);
    if (!std::isfinite(mean) || !std::isfinite(rms))
        return std::nullopt;
    return PhaseStatistics{mean, standardDeviation, rms};
}

}  // namespace quillet
