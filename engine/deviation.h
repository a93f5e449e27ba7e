// The deviation of the receiver reading caused by an AN whose measured
// impedance departs from its nominal one, for the worst EUT source phase.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillet {

// The decimal literals the calculator's sweep is defined with. They are
// slightly smaller than the true constants, and every result the window
// shows depends on exactly these. Everything else converts with the true
// pi (std::numbers::pi): a phase read from a file, the nominal impedance
// the tolerance check compares against and the exact worst case are
// measured quantities, converted as accurately as a double allows.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;

// The EUT phase is sampled at (i - 1) * kSweepStep rad for i = 1..kSweepPoints.
inline constexpr int kSweepPoints = 629;
inline constexpr double kSweepStep = 0.01;

struct Deviation {
    double deviationDb;      // signed: positive when the receiver can read too high
    double eutPhaseRadians;  // the grid angle where that deviation occurs
    double eutPhaseDegrees;  // the same, converted with kPi
};

// frequency in MHz, magnitude in ohm and phase in radians of the measured AN
// impedance; anType 1..4 (50 // (50 uH + 5), 50 // 50 uH, 50 // (5 uH + 1),
// 150 ohm). Returns nothing when the inputs cannot be evaluated: a floating
// point fault (overflow, division by zero, invalid operation) or a logarithm
// of zero along the way. Unrounded results.
std::optional<Deviation> SweepDeviation(double frequencyMHz, double magnitudeOhm, double phaseRadians,
                                        std::int16_t anType);

// The largest and the smallest voltage ratio of a sweep with their angles.
struct RatioExtremes {
    double maxRatio = 0.0;
    double maxAngle = 0.0;
    double minRatio = 100.0;  // the starting values the results are defined with
    double minAngle = 0.0;
    void Add(double ratio, double angle);
};

// The side whose dB value is larger in magnitude (the minimum on a tie), as
// the deviation in dB and its angle; nothing when a ratio is zero.
std::optional<Deviation> ChooseSide(const RatioExtremes& extremes);

// How a result value is shown: rounded to two decimals, in NumberText form.
std::string ResultText(double value);

}  // namespace quillet
