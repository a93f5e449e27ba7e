#include "engine/deviation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "window/entry_field.h"
namespace quillet {
namespace {

// The inputs as the Calculate command hands them over: degrees turned into
// radians with the pi literal, a zero frequency or magnitude replaced.
std::optional<Deviation> FromBoxValues(std::int16_t type, double frequency, double magnitude, double degrees) {
    const double phase = degrees * kPi / 180.0;
    return SweepDeviation(frequency == 0 ? kZeroStandIn : frequency, magnitude == 0 ? kZeroStandIn : magnitude, phase,
                          type);
}

struct Row {
    std::int16_t type;
    double frequency, magnitude, phase;
    const char* deviation;
    const char* eutPhase;
};

TEST(SweepDeviation, ReproducesTheReferenceTable) {
    const Row rows[] = {
        {1, 0.15, 39.26, 54.85, " 3.61", " 268.14"},
        {2, 0.15, 39.26, 54.85, " 2.7", " 268.72"},
        {3, 0.15, 39.26, 54.85, " 22.4", " 270.44"},
        {4, 0.15, 39.26, 54.85, "-11.84", " 24.64"},
        {4, 1, 150, 0, " 0", " 0"},
        {4, 1, 100, 0, "-3.52", " 0"},
        {4, 1, 300, 0, " 6.02", " 0"},
        {2, 30, 50, 0, "-.02", " 269.86"},
        {1, 0, 0, 0, "-133.15", " 0"},
        {2, 0, 0, 0, "-49.96", " 180.48"},
        {3, 0, 0, 0, "-119.83", " 359.82"},
        {4, 0, 0, 0, "-163.52", " 0"},
        {2, 0, 39.26, 54.85, " 106.73", " 267.57"},
        {1, 30, 50, 0, " .02", " 89.95"},
        {3, 30, 50, 0, " .23", " 88.24"},
        {1, 0.15, 50, 0, " 4.64", " 57.3"},
        {1, 0.15, 50, 180, " 4.64", " 57.3"},
        {1, 0.15, 39.26, -54.85, " 10.5", " 102.56"},
        {1, 0.15, 39.26, 0, "-4.35", " 242.36"},
        {1, 0.15, 39.26, 360, "-4.35", " 242.36"},
        {4, 30, 150, 90, " 55.45", " 269.86"},
    };
    for (const Row& row : rows) {
        const auto result = FromBoxValues(row.type, row.frequency, row.magnitude, row.phase);
        ASSERT_TRUE(result) << "type " << row.type << " f " << row.frequency;
        EXPECT_EQ(ResultText(result->deviationDb), row.deviation)
            << "type " << row.type << " f " << row.frequency << " |Z| " << row.magnitude << " phase " << row.phase;
        EXPECT_EQ(ResultText(result->eutPhaseDegrees), row.eutPhase)
            << "type " << row.type << " f " << row.frequency << " |Z| " << row.magnitude << " phase " << row.phase;
        EXPECT_EQ(result->eutPhaseDegrees, result->eutPhaseRadians * 180.0 / kPi);
    }
}

TEST(RatioExtremes, KeepTheEarliestAngleOfEqualRatios) {
    RatioExtremes e;
    const double ratios[] = {1.0, 2.0, 0.5, 2.0, 0.5, 1.0};
    for (int i = 0; i < 6; ++i)
        e.Add(ratios[i], i * 0.01);
    EXPECT_EQ(e.maxRatio, 2.0);
    EXPECT_EQ(e.maxAngle, 0.01);
    EXPECT_EQ(e.minRatio, 0.5);
    EXPECT_EQ(e.minAngle, 0.02);
    // Ratios that never go below the start of 100 leave it, at angle 0.
    RatioExtremes high;
    high.Add(150.0, 0.0);
    high.Add(120.0, 0.01);
    EXPECT_EQ(high.minRatio, 100.0);
    EXPECT_EQ(high.minAngle, 0.0);
}

TEST(ChooseSide, TakesTheLargerDecibelsAndTheMinimumOnATie) {
    struct Case {
        double maxRatio, maxAngle, minRatio, minAngle;
        bool minimum;  // which side is expected
    } cases[] = {
        {2.0, 0.5, 0.5, 1.0, true},  // |20 ln 2| equals |20 ln 0.5|: a tie
        {1.0, 0.0, 1.0, 0.0, true},  // every ratio 1
        {2.01, 0.5, 0.5, 1.0, false},    {2.0, 0.5, 0.49, 1.0, true},
        {150.0, 0.3, 100.0, 0.0, false},  // the start of the minimum never shown
    };
    for (const auto& c : cases) {
        const auto d = ChooseSide({c.maxRatio, c.maxAngle, c.minRatio, c.minAngle});
        ASSERT_TRUE(d);
        const double ratio = c.minimum ? c.minRatio : c.maxRatio;
        EXPECT_EQ(d->deviationDb, 20.0 * std::log(ratio) / std::log(10.0)) << c.maxRatio << " " << c.minRatio;
        EXPECT_EQ(d->eutPhaseRadians, c.minimum ? c.minAngle : c.maxAngle) << c.maxRatio << " " << c.minRatio;
    }
    EXPECT_FALSE(ChooseSide({0.0, 0.0, 0.0, 0.0}));  // every ratio zero: no logarithm
}

TEST(SweepDeviation, UsesTheDecimalLiteralsOfTheDefinition) {
    // The last grid point is 628 * 0.01 rad, short of a full turn, and
    // degrees come back with the pi literal, not the double nearest pi.
    const auto last = FromBoxValues(3, 0, 0, 0);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->eutPhaseRadians, 628 * 0.01);
    EXPECT_EQ(last->eutPhaseDegrees, 628 * 0.01 * 180.0 / 3.14159265358979);
    EXPECT_NE(last->eutPhaseDegrees, 628 * 0.01 * 180.0 / 3.141592653589793);
}

TEST(SweepDeviation, PhasesOneTurnApartGiveTheSameResult) {
    for (double degrees : {0.0, 54.85, -54.85, 123.4}) {
        const auto a = FromBoxValues(1, 0.15, 39.26, degrees);
        const auto b = FromBoxValues(1, 0.15, 39.26, degrees + 360.0);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(ResultText(a->deviationDb), ResultText(b->deviationDb)) << degrees;
        EXPECT_EQ(ResultText(a->eutPhaseDegrees), ResultText(b->eutPhaseDegrees)) << degrees;
    }
}

struct FaultCase {
    const char* what;
    std::int16_t type;
    double frequency, magnitude, phaseRadians;
};

TEST(SweepDeviation, InputsThatCannotBeEvaluatedGiveNoResult) {
    const double inf = std::numeric_limits<double>::infinity();
    const FaultCase cases[] = {
        {"50 + R rounds to 50: every ratio is 0", 1, 0.15, 1e-15, 0},
        {"the same on every type", 4, 0.15, 1e-15, 0},
        {"|1 + Gn| is 0 under type 2", 2, 1e-170, 39.26, 0.9573},
        {"the reactance overflows", 1, 1e308, 39.26, 0.9573},
        {"the square of the reactance overflows", 3, 1e160, 39.26, 0.9573},
        {"the measured impedance overflows", 1, 0.15, 1e300, 0.5},
        {"an infinite phase", 1, 0.15, 39.26, inf},
        {"an undefined phase", 1, 0.15, 39.26, std::nan("")},
        {"an AN type below the table", 0, 0.15, 39.26, 0.9573},
        {"an AN type above the table", 5, 0.15, 39.26, 0.9573},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(SweepDeviation(c.frequency, c.magnitude, c.phaseRadians, c.type)) << c.what;
}

TEST(SweepDeviation, SmallButEvaluableInputsStillGiveResults) {
    // Just above the smallest inputs the fault message asks for.
    for (std::int16_t type = 1; type <= 4; ++type) {
        for (double degrees : {0.0, 54.85, 180.0, -90.0}) {
            EXPECT_TRUE(FromBoxValues(type, 0.15, 1e-13, degrees)) << "type " << type << " deg " << degrees;
            EXPECT_TRUE(FromBoxValues(type, 1e-160, 39.26, degrees)) << "type " << type << " deg " << degrees;
            EXPECT_TRUE(FromBoxValues(type, 500000, 500, degrees)) << "type " << type << " deg " << degrees;
        }
    }
}

}  // namespace
}  // namespace quillet
