// Every point of a measured sweep through the calculator's engine, with the
// exact worst case and the usual tolerance check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/an_types.h"
#include "engine/exact_extremes.h"
#include "engine/phase_statistics.h"
#include "measurement/measurement.h"
#include "measurement/text_lines.h"
#include "sweep/budget.h"

namespace quillet::sweep {

// The tolerance as reports say it: "+-20 % in magnitude, +-11.5 deg in phase".
std::string ToleranceText();

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
    bool inputsClamped;                         // the calculator's limits changed a typed value
    std::optional<Extremes> exact;              // none: unbounded
    std::optional<PhaseStatistics> statistics;  // over the EUT phase; none: unbounded
    bool withinTolerance;
};

struct Summary {
    std::size_t points = 0;
    std::optional<EvaluatedPoint> worstDeviation;  // the first with the largest calculator deviation
    std::optional<EvaluatedPoint> worstExact;      // the first with the largest exact deviation
    double worstExactDb = 0;                       // signed: highest or lowest of that point
    std::optional<EvaluatedPoint> firstUnbounded;  // the first whose worst case has no bound
    std::size_t outsideTolerance = 0;
    std::size_t clamped = 0;       // points whose inputs the calculator's limits changed
    std::vector<BandTally> bands;  // the budget's bands, filled as points come

    void Add(const EvaluatedPoint& point);
};

// One point as the calculator shows it when its three texts are typed into
// the boxes, with the exact worst case and the tolerance check of the point
// as typed.
EvaluatedPoint EvaluatePoint(const measurement::MeasuredPoint& measured, std::int16_t anType);

struct Evaluation {
    std::int16_t anType;
    std::vector<EvaluatedPoint> points;
    Summary summary;
};

// Hears how many points of how many have been taken on for evaluation
// (a few thousand ahead of those finished), after each; false stops the
// evaluation.
using EvaluationProgress = std::function<bool(std::size_t done, std::size_t total)>;

// A whole measurement, every point kept, on every core. Nothing when the
// progress function stopped it.
std::optional<Evaluation> Evaluate(const measurement::Measurement& measurement, std::int16_t anType,
                                   const EvaluationProgress& progress, const std::vector<Band>& bands = DefaultBands());
Evaluation Evaluate(const measurement::Measurement& measurement, std::int16_t anType);

// A summary that tallies the points of these bands.
Summary SummaryOfBands(const std::vector<Band>& bands);

// The shortest text that reads back to the value (for typed values and
// machine-readable output).
using measurement::ShortestText;

// At most 15 significant digits, trailing zeros dropped: what the
// calculator keeps of a value, without the noise of a unit conversion.
std::string SignificantText(double value);

}  // namespace quillet::sweep
