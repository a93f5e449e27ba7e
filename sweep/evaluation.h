// Every point of a measured sweep through the calculator's engine, with the
// exact worst case and the usual tolerance check.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "exact_extremes.h"
#include "measurement.h"

namespace quillet::sweep {

// The usual tolerance of an AN impedance around its nominal value.
inline constexpr double kMagnitudeTolerance = 0.20;  // +-20 %
inline constexpr double kPhaseToleranceDegrees = 11.5;

struct EvaluatedPoint {
    double frequencyMHz;
    double magnitudeOhm;  // of the measured impedance
    double phaseDegrees;
    // What is typed into the calculator's boxes for this point: the
    // frequency to 15 significant digits, magnitude and phase to three
    // decimals.
    std::string frequencyText;
    std::string magnitudeText;
    std::string phaseText;
    // What the calculator then shows, and its numbers ("not valid": none).
    std::string deviationText;
    std::string eutPhaseText;
    std::optional<double> deviationDb;
    std::optional<double> eutPhaseDegrees;
    bool inputsClamped;             // the calculator's limits changed a typed value
    std::optional<Extremes> exact;  // none: unbounded
    bool withinTolerance;
};

struct Summary {
    std::optional<std::size_t> worstDeviation;  // point with the largest calculator deviation
    std::optional<std::size_t> worstExact;      // point with the largest exact deviation
    double worstExactDb = 0;                    // signed: highest or lowest of that point
    std::optional<std::size_t> firstUnbounded;  // a point whose worst case has no bound
    std::size_t outsideTolerance = 0;
    std::size_t clamped = 0;  // points whose inputs the calculator's limits changed
};

struct Evaluation {
    std::int16_t anType;
    std::vector<EvaluatedPoint> points;
    Summary summary;
};

Evaluation Evaluate(const Measurement& measurement, std::int16_t anType);

// The shortest text that reads back to the value (for typed values and
// machine-readable output).
std::string ShortestText(double value);

// At most 15 significant digits, trailing zeros dropped: what the
// calculator keeps of a value, without the noise of a unit conversion.
std::string SignificantText(double value);

}  // namespace quillet::sweep
