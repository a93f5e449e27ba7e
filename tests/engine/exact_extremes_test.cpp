#include "engine/exact_extremes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "engine/an_types.h"
#include "engine/deviation.h"

namespace quillet {
namespace {

TEST(NominalImpedance, MatchesTheNetworksOfTheTypes) {
    struct Case {
        std::int16_t type;
        double frequency;
        double magnitude;
        double degrees;
    } cases[] = {
        {2, 0.15, 34.2933, 46.6962},  // the nominal value the calculator rounds to 0 dB
        {4, 1.0, 150.0, 0.0},
        {1, 1000.0, 50.0, 0.0},  // far above the corner the 50 ohm dominate
        {3, 1e-9, 1.0 * 50 / 51, 0.0},
    };
    for (const auto& c : cases) {
        const std::complex<double> z = NominalImpedance(c.type, c.frequency);
        EXPECT_NEAR(std::abs(z), c.magnitude, 5e-4 * c.magnitude) << c.type;
        EXPECT_NEAR(std::arg(z) * 180 / std::numbers::pi, c.degrees, 0.01) << c.type;
    }
}

// The deviation of one EUT phase, straight from the definition.
double DeviationDb(std::complex<double> gm, std::complex<double> gn, double theta) {
    const std::complex<double> ge = std::polar(1.0, theta);
    return 20.0 *
           std::log10(std::abs(1.0 + gm) / std::abs(1.0 + gn) * std::abs(1.0 - ge * gn) / std::abs(1.0 - ge * gm));
}

TEST(ExactExtremes, BoundADenseSweepOfEveryEutPhase) {
    std::mt19937_64 random(99);
    std::uniform_int_distribution<int> type(1, 4);
    std::uniform_real_distribution<double> decade(-2.0, 2.0);
    std::uniform_real_distribution<double> magnitude(5.0, 300.0);
    std::uniform_real_distribution<double> degrees(-80.0, 80.0);
    for (int trial = 0; trial < 40; ++trial) {
        const auto t = static_cast<std::int16_t>(type(random));
        const double f = std::pow(10.0, decade(random));
        const std::complex<double> z = std::polar(magnitude(random), degrees(random) * std::numbers::pi / 180);
        const auto extremes = ExactExtremes(z, f, t);
        ASSERT_TRUE(extremes);

        const double z0 = AnType(t).referenceImpedanceOhm;
        const auto gm = Reflection(z, z0);
        const auto gn = Reflection(NominalImpedance(t, f), z0);
        double highest = -1e300, lowest = 1e300;
        constexpr int kPhases = 100000;
        for (int i = 0; i < kPhases; ++i) {
            const double d = DeviationDb(gm, gn, 2 * std::numbers::pi * i / kPhases);
            highest = std::max(highest, d);
            lowest = std::min(lowest, d);
        }
        EXPECT_GE(extremes->highestDb, highest - 1e-9) << trial;
        EXPECT_LE(extremes->lowestDb, lowest + 1e-9) << trial;
        EXPECT_NEAR(extremes->highestDb, highest, 1e-4) << trial;
        EXPECT_NEAR(extremes->lowestDb, lowest, 1e-4) << trial;

        // The calculator's grid value lies between the exact extremes.
        const auto grid = SweepDeviation(f, std::abs(z), std::arg(z), t);
        ASSERT_TRUE(grid);
        EXPECT_LE(grid->deviationDb, extremes->highestDb + 1e-6) << trial;
        EXPECT_GE(grid->deviationDb, extremes->lowestDb - 1e-6) << trial;
    }
}

TEST(ExactExtremes, AreUnboundedWithoutAPositiveRealPart) {
    for (std::complex<double> z : {std::complex<double>(0, 30), std::complex<double>(-5, 10),
                                   std::complex<double>(0, 0), std::complex<double>(-50, 0)})
        EXPECT_FALSE(ExactExtremes(z, 1.0, 1)) << z;
    EXPECT_TRUE(ExactExtremes({1e-3, 30}, 1.0, 1));
}

TEST(ExactExtremes, AreZeroForTheNominalImpedance) {
    for (std::int16_t t = 1; t <= 4; ++t) {
        const auto e = ExactExtremes(NominalImpedance(t, 3.0), 3.0, t);
        ASSERT_TRUE(e);
        EXPECT_NEAR(e->highestDb, 0.0, 1e-9);
        EXPECT_NEAR(e->lowestDb, 0.0, 1e-9);
    }
}

}  // namespace
}  // namespace quillet
