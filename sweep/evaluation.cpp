#include "sweep/evaluation.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "engine/an_types.h"
#include "engine/number_text.h"
#include "sweep/calculator_session.h"
#include "window/entry_field.h"
#include "window/results.h"

namespace quillet::sweep {
namespace {

bool WithinTolerance(std::complex<double> measured, std::complex<double> nominal) {
    const double ratio = std::abs(measured) / std::abs(nominal);
    double phase = measurement::Degrees(std::arg(measured) - std::arg(nominal));
    if (phase > 180.0)
        phase -= 360.0;
    if (phase < -180.0)
        phase += 360.0;
    return ratio >= 1.0 - kMagnitudeTolerance && ratio <= 1.0 + kMagnitudeTolerance &&
           std::fabs(phase) <= kPhaseToleranceDegrees;
}

std::optional<double> ShownNumber(const std::string& text) {
    if (text == kNotValid)
        return std::nullopt;
    return ParseNumber(text);
}

}  // namespace

std::string SignificantText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::string ToleranceText() {
    return "+-" + SignificantText(kMagnitudeTolerance * 100) + " % in magnitude, +-" +
           SignificantText(kPhaseToleranceDegrees) + " deg in phase";
}

void Summary::Add(const EvaluatedPoint& p) {
    ++points;
    if (!p.withinTolerance)
        ++outsideTolerance;
    if (p.inputsClamped)
        ++clamped;
    if (p.deviationDb && (!worstDeviation || std::fabs(*p.deviationDb) > std::fabs(*worstDeviation->deviationDb)))
        worstDeviation = p;
    if (!p.exact) {
        if (!firstUnbounded)
            firstUnbounded = p;
        return;
    }
    for (double db : {p.exact->highestDb, p.exact->lowestDb}) {
        if (!worstExact || std::fabs(db) > std::fabs(worstExactDb)) {
            worstExact = p;
            worstExactDb = db;
        }
    }
}

SweepEvaluator::SweepEvaluator(std::int16_t anType)
    : anType_(anType), calculator_(std::make_unique<CalculatorSession>(anType)) {}

SweepEvaluator::~SweepEvaluator() = default;

EvaluatedPoint SweepEvaluator::Evaluate(const measurement::MeasuredPoint& m) {
    EvaluatedPoint p{};
    p.frequencyMHz = m.frequencyMHz;
    p.magnitudeOhm = std::abs(m.impedance);
    p.phaseDegrees = measurement::Degrees(std::arg(m.impedance));
    p.frequencyText = SignificantText(m.frequencyMHz);
    p.magnitudeText = ShortestText(RoundHalfEven(p.magnitudeOhm, 3));
    // A phase of -0 (a whole number of turns below zero) is typed as 0.
    p.phaseText = ShortestText(RoundHalfEven(p.phaseDegrees, 3) + 0.0);
    const CalculatorResult shown = calculator_->Calculate(p.frequencyText, p.magnitudeText, p.phaseText);
    p.deviationText = shown.deviation;
    p.eutPhaseText = shown.eutPhase;
    p.deviationDb = ShownNumber(shown.deviation);
    p.eutPhaseDegrees = ShownNumber(shown.eutPhase);
    p.inputsClamped = shown.inputsClamped;
    // The rest of the row is for the same three numbers, as printed,
    // with the calculator's stand-in for a zero frequency or magnitude.
    double frequency = ParseNumber(p.frequencyText);
    double magnitude = ParseNumber(p.magnitudeText);
    if (frequency == 0.0)
        frequency = kZeroStandIn;
    if (magnitude == 0.0)
        magnitude = kZeroStandIn;
    const std::complex<double> impedance = std::polar(magnitude, measurement::WrappedRadians(ParseNumber(p.phaseText)));
    p.exact = ExactExtremes(impedance, frequency, anType_);
    p.withinTolerance = WithinTolerance(impedance, NominalImpedance(anType_, frequency));
    return p;
}

Evaluation Evaluate(const measurement::Measurement& measurement, std::int16_t anType) {
    Evaluation evaluation{anType, {}, {}};
    SweepEvaluator evaluator(anType);
    evaluation.points.reserve(measurement.points.size());
    for (const measurement::MeasuredPoint& m : measurement.points) {
        evaluation.points.push_back(evaluator.Evaluate(m));
        evaluation.summary.Add(evaluation.points.back());
    }
    return evaluation;
}

}  // namespace quillet::sweep
