#include "engine/deviation.h"

#include <cmath>

#include "engine/an_types.h"
#include "engine/elementary.h"
#include "engine/number_text.h"
#include "engine/sweep_lanes.h"

namespace quillet {
namespace {

// Every stored intermediate must be finite: an overflow, a division by zero
// or an invalid operation leaves an infinity or a NaN behind, which is how a
// fault is recognised here without relying on the floating-point status.
bool Finite(double value) { return std::isfinite(value); }

struct Reflection {
    double re;
    double im;
};

// Gamma_n = (Zn - Z0) / (Zn + Z0) of Zn = P // (R1 + jX) with P = Z0 = 50:
// -P Z0 / (P Z0 + (P + Z0)(R1 + jX)), divided out over the squared
// magnitude d of the denominator. Every constant is a whole number, exact
// in a double, and the operations run in the order the results are defined
// with.
std::optional<Reflection> NominalReflection(double frequencyMHz, std::int16_t anType) {
    if (anType == 4)
        return Reflection{0.0, 0.0};
    if (anType < 1 || anType > 4)
        return std::nullopt;

    const AnTypeInfo& type = AnType(anType);
    const double x = frequencyMHz * kTwoPi * type.inductanceMicrohenry;
    if (!Finite(x))
        return std::nullopt;
    const double x2 = x * x;
    if (!Finite(x2))
        return std::nullopt;

    constexpr double p = kParallelResistanceOhm;
    constexpr double sum = p + p;      // P + Z0
    constexpr double product = p * p;  // P Z0
    const double real = product + sum * type.seriesResistanceOhm;
    const double d = sum * (sum * x2) + real * real;
    const double rn = -(product * real) / d;
    const double xn = x * 2.0 * p * p * p / d;
    if (!Finite(d) || !Finite(rn) || !Finite(xn))
        return std::nullopt;
    return Reflection{rn, xn};
}

// Gamma_m = (Z - Z0) / (Z + Z0) of the measured impedance.
std::optional<Reflection> MeasuredReflection(double magnitudeOhm, double phaseRadians, double z0) {
    const double r = elementary::Cos(phaseRadians) * magnitudeOhm;
    const double x = elementary::Sin(phaseRadians) * magnitudeOhm;
    if (!Finite(r) || !Finite(x))
        return std::nullopt;
    const double s = z0 + r;
    const double e = s * s + x * x;
    if (!Finite(e))
        return std::nullopt;
    const double rm = (x * x + r * r - z0 * z0) / e;
    const double xm = 2.0 * z0 * x / e;
    if (!Finite(rm) || !Finite(xm))
        return std::nullopt;
    return Reflection{rm, xm};
}

// ln(10), for 20 log10 of a ratio as the results are defined: 20 ln(x) /
// ln(10). The same function of the same argument: computed once.
double NaturalLogOfTen() {
    static const double ln10 = elementary::Log(10.0);
    return ln10;
}

}  // namespace

std::optional<Deviation> SweepDeviation(double frequencyMHz, double magnitudeOhm, double phaseRadians,
                                        std::int16_t anType) {
    const auto nominal = NominalReflection(frequencyMHz, anType);
    if (!nominal)
        return std::nullopt;
    const double z0 = AnType(anType).referenceImpedanceOhm;
    const auto measured = MeasuredReflection(magnitudeOhm, phaseRadians, z0);
    if (!measured)
        return std::nullopt;
    const double rn = nominal->re, xn = nominal->im;
    const double rm = measured->re, xm = measured->im;

    // |1 + Gamma_m| and |1 + Gamma_n| do not depend on the EUT phase.
    const double aSquared = (rm + 1.0) * (rm + 1.0) + xm * xm;
    const double bSquared = xn * xn + (rn + 1.0) * (rn + 1.0);
    if (!Finite(aSquared) || !Finite(bSquared))
        return std::nullopt;
    const double a = std::sqrt(aSquared);
    const double b = std::sqrt(bSquared);

    // Every point's ratio a / C * D / b, with C = |1 - Gamma_e Gamma_m| and
    // D = |1 - Gamma_e Gamma_n|: the receiver voltage with the measured AN
    // over that with the nominal one. A fault at any point voids the sweep.
    const lanes::SweepOutcome outcome = lanes::Sweep({rm, xm, rn, xn, a, b});
    if (!outcome.finite)
        return std::nullopt;
    return ChooseSide(outcome.extremes);
}

void RatioExtremes::Add(double ratio, double angle) {
    // Strict comparisons: on equal ratios the earliest angle stays.
    if (ratio > maxRatio) {
        maxRatio = ratio;
        maxAngle = angle;
    }
    if (ratio < minRatio) {
        minRatio = ratio;
        minAngle = angle;
    }
}

std::optional<Deviation> ChooseSide(const RatioExtremes& extremes) {
    // The logarithm of zero has no value: every ratio was zero.
    if (!(extremes.maxRatio > 0.0) || !(extremes.minRatio > 0.0))
        return std::nullopt;
    // Each logarithm once: the chosen side's serves its decibels too.
    const double lnMax = elementary::Log(extremes.maxRatio);
    const double lnMin = elementary::Log(extremes.minRatio);
    const double aboveDb = std::fabs(20.0 * lnMax);
    const double belowDb = std::fabs(20.0 * lnMin);
    const bool minimumSide = belowDb >= aboveDb;  // a tie goes to the minimum
    const double deviation = 20.0 * (minimumSide ? lnMin : lnMax) / NaturalLogOfTen();
    const double angle = minimumSide ? extremes.minAngle : extremes.maxAngle;
    const double degrees = angle * 180.0 / kPi;
    if (!Finite(aboveDb) || !Finite(belowDb) || !Finite(deviation) || !Finite(degrees))
        return std::nullopt;
    return Deviation{deviation, angle, degrees};
}

std::string ResultText(double value) { return NumberText(RoundHalfEven(value, 2)); }

}  // namespace quillet
