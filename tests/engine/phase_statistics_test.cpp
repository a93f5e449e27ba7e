// The phase statistics and the exact extremes against the deviation itself,
// integrated over the EUT phase on a fine uniform grid (for a periodic
// function the grid converges geometrically, as rho^N).
#include "engine/phase_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "engine/an_types.h"
#include "engine/dilogarithm.h"
#include "engine/exact_extremes.h"

namespace quillet {
namespace {

struct Integrated {
    long double mean, standardDeviation, highest, lowest;
};

Integrated Integrate(std::complex<double> measured, double frequencyMHz, std::int16_t type) {
    using C = std::complex<long double>;
    const long double z0 = AnType(type).referenceImpedanceOhm;
    const C zm(measured.real(), measured.imag());
    const std::complex<double> nominal = NominalImpedance(type, frequencyMHz);
    const C zn(nominal.real(), nominal.imag());
    const C gm = (zm - z0) / (zm + z0), gn = (zn - z0) / (zn + z0);
    const long double rho = std::max(std::abs(gm), std::abs(gn));
    const long n = std::min(4'000'000L, std::lround(60.0L / (1.0L - rho)) + 64);
    const auto deviation = [&](long double theta) {
        const C u = std::polar(1.0L, theta);
        return 20 * std::log10(std::abs(1.0L + gm) / std::abs(1.0L + gn) * std::abs(1.0L - u * gn) /
                               std::abs(1.0L - u * gm));
    };
    // The grid's best, then closed in on by ternary search within a step.
    const long double step = 2 * std::numbers::pi_v<long double> / n;
    const auto refine = [&](long i, long double sign) {
        long double a = (i - 1) * step, b = (i + 1) * step;
        for (int k = 0; k < 200; ++k) {
            const long double m1 = a + (b - a) / 3, m2 = b - (b - a) / 3;
            if (sign * deviation(m1) < sign * deviation(m2))
                a = m1;
            else
                b = m2;
        }
        return deviation((a + b) / 2);
    };
    long double sum = 0, squares = 0, highest = -1e300L, lowest = 1e300L;
    long highestAt = 0, lowestAt = 0;
    for (long i = 0; i < n; ++i) {
        const long double d = deviation(i * step);
        sum += d;
        squares += d * d;
        if (d > highest)
            highest = d, highestAt = i;
        if (d < lowest)
            lowest = d, lowestAt = i;
    }
    highest = std::max(highest, refine(highestAt, 1));
    lowest = std::min(lowest, refine(lowestAt, -1));
    const long double mean = sum / n;
    return {mean, std::sqrt(std::max(0.0L, squares / n - mean * mean)), highest, lowest};
}

TEST(DeviationStatistics, AgreeWithTheDeviationIntegratedOverThePhase) {
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    struct Case {
        std::complex<double> z;
        double f;
        std::int16_t type;
    };
    std::vector<Case> cases = {
        // Type 4 against resistors: the mismatch of a resistive network.
        {{150, 0}, 1, 4},
        {{75, 0}, 1, 4},
        {{300, 0}, 1, 4},
        {{1, 0}, 1, 4},
        {{1e4, 0}, 1, 4},
        // The start-up point; type 2 where its nominal reflection nears 1.
        {std::polar(39.26, 54.85 * std::numbers::pi / 180), 0.15, 1},
        {NominalImpedance(2, 0.009) * 1.01, 0.009, 2},
    };
    for (int i = 0; i < 160; ++i) {
        // Magnitudes over six decades, phases almost to +-90 deg: |Gm| up to
        // within 1E-4 of 1.
        const double magnitude = std::pow(10.0, -1.0 + 6.0 * unit(random));
        const double phase = (unit(random) * 2 - 1) * (i % 8 == 0 ? 89.99 : 80.0);
        cases.push_back({std::polar(magnitude, phase * std::numbers::pi / 180), std::pow(10.0, -2.5 + 4 * unit(random)),
                         static_cast<std::int16_t>(1 + i % 4)});
    }
    for (const Case& c : cases) {
        const auto statistics = DeviationStatistics(c.z, c.f, c.type);
        const auto extremes = ExactExtremes(c.z, c.f, c.type);
        ASSERT_TRUE(statistics && extremes) << c.z;
        const Integrated expected = Integrate(c.z, c.f, c.type);
        const auto where = ::testing::Message() << c.z << " ohm at " << c.f << " MHz, type " << c.type;
        EXPECT_NEAR(statistics->meanDb, expected.mean, 1e-9) << where;
        EXPECT_NEAR(statistics->standardDeviationDb, expected.standardDeviation, 1e-9) << where;
        EXPECT_NEAR(statistics->rmsDb, std::hypot(expected.mean, expected.standardDeviation), 1e-9) << where;
        EXPECT_NEAR(extremes->highestDb, expected.highest, 1e-9) << where;
        EXPECT_NEAR(extremes->lowestDb, expected.lowest, 1e-9) << where;
    }
}

TEST(DeviationStatistics, VanishAtTheNominalImpedanceAndAreUnboundedBeyondTheUnitCircle) {
    for (std::int16_t type = 1; type <= 4; ++type) {
        for (double f : {0.009, 0.15, 30.0}) {
            const auto at = DeviationStatistics(NominalImpedance(type, f), f, type);
            ASSERT_TRUE(at);
            EXPECT_NEAR(at->meanDb, 0.0, 1e-12) << type << " " << f;
            EXPECT_NEAR(at->standardDeviationDb, 0.0, 1e-6) << type << " " << f;
        }
        // A pure reactance and a negative resistance reflect everything or more.
        EXPECT_FALSE(DeviationStatistics({0, 50}, 1, type));
        EXPECT_FALSE(DeviationStatistics({-1, 50}, 1, type));
    }
}

TEST(Dilogarithm, MatchesKnownValuesAndItsSeries) {
    const double ln2 = std::log(2.0);
    EXPECT_NEAR(Dilogarithm({0.5, 0}).re, std::numbers::pi * std::numbers::pi / 12 - ln2 * ln2 / 2, 4e-16);
    EXPECT_NEAR(Dilogarithm({-1 + 1e-12, 0}).re, -std::numbers::pi * std::numbers::pi / 12, 1e-12);
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> part(-1.0, 1.0);
    for (int i = 0; i < 200; ++i) {
        const std::complex<long double> z(part(random), part(random));
        if (std::abs(z) > 0.95L)
            continue;
        std::complex<long double> power = z, sum = 0;
        for (int k = 1; k < 2000; ++k, power *= z)
            sum += power / static_cast<long double>(k * k);
        const Complex li2 = Dilogarithm({static_cast<double>(z.real()), static_cast<double>(z.imag())});
        EXPECT_NEAR(li2.re, sum.real(), 2e-15) << z;
        EXPECT_NEAR(li2.im, sum.imag(), 2e-15) << z;
    }
}

}  // namespace
}  // namespace quillet
