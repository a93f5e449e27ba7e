#include "sweep/evaluation.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "engine/number_text.h"
#include "sweep/parallel_evaluation.h"
#include "window/shown_point.h"

namespace quillet::sweep {
namespace {

// Judged on the magnitude and phase as typed, so a point typed on the edge
// of the tolerance is within it.
bool WithinTolerance(double magnitudeOhm, double phaseDegrees, std::complex<double> nominal) {
    const double ratio = magnitudeOhm / Abs(nominal);
    double phase = std::fmod(phaseDegrees, 360.0) - measurement::Degrees(Arg(nominal));
    if (phase > 180.0)
        phase -= 360.0;
    if (phase < -180.0)
        phase += 360.0;
    return ratio >= 1.0 - kMagnitudeTolerance && ratio <= 1.0 + kMagnitudeTolerance &&
           std::fabs(phase) <= kPhaseToleranceDegrees;
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

Summary SummaryOfBands(const std::vector<Band>& bands) {
    Summary summary;
    for (const Band& band : bands) {
        BandTally tally;
        tally.band = band;
        summary.bands.push_back(tally);
    }
    return summary;
}

void Summary::Add(const EvaluatedPoint& p) {
    ++points;
    for (BandTally& band : bands)
        band.Add(p);
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

EvaluatedPoint EvaluatePoint(const measurement::MeasuredPoint& m, std::int16_t anType) {
    EvaluatedPoint p{};
    p.frequencyMHz = m.frequencyMHz;
    p.magnitudeOhm = Abs(m.impedance);
    p.phaseDegrees = measurement::Degrees(Arg(m.impedance));
    p.frequencyText = SignificantText(m.frequencyMHz);
    p.magnitudeText = ShortestText(RoundHalfEven(p.magnitudeOhm, 3));
    // A phase of -0 (a whole number of turns below zero) is typed as 0.
    p.phaseText = ShortestText(RoundHalfEven(p.phaseDegrees, 3) + 0.0);
    const ShownPoint shown = ShowPoint(p.frequencyText, p.magnitudeText, p.phaseText, anType);
    p.deviationText = shown.results.deviationText;
    p.eutPhaseText = shown.results.eutPhaseText;
    p.deviationDb = shown.results.shownDeviationDb;
    p.eutPhaseDegrees = shown.results.shownEutPhaseDegrees;
    p.inputsClamped = shown.AnyClamped();
    // The exact worst case and the tolerance are of the point as typed,
    // beyond the boxes' limits too, with the calculator's stand-in for a
    // zero frequency or magnitude.
    const double frequency = WithZeroStandIn(shown.typed[0]);
    const std::complex<double> impedance = PolarDegrees(WithZeroStandIn(shown.typed[1]), shown.typed[2]);
    p.exact = ExactExtremes(impedance, frequency, anType);
    p.statistics = DeviationStatistics(impedance, frequency, anType);
    p.withinTolerance =
        WithinTolerance(WithZeroStandIn(shown.typed[1]), shown.typed[2], NominalImpedance(anType, frequency));
    return p;
}

std::optional<Evaluation> Evaluate(const measurement::Measurement& measurement, std::int16_t anType,
                                   const EvaluationProgress& progress, const std::vector<Band>& bands) {
    Evaluation evaluation{anType, {}, SummaryOfBands(bands)};
    evaluation.points.reserve(measurement.points.size());
    ParallelEvaluator evaluator(anType, [&evaluation](const EvaluatedPoint& point) {
        evaluation.points.push_back(point);
        evaluation.summary.Add(point);
    });
    const std::size_t total = measurement.points.size();
    std::size_t taken = 0;
    for (const measurement::MeasuredPoint& m : measurement.points) {
        evaluator.Add(m);
        if (progress && !progress(++taken, total))
            return std::nullopt;
    }
    evaluator.Finish();
    return evaluation;
}

Evaluation Evaluate(const measurement::Measurement& measurement, std::int16_t anType) {
    return *Evaluate(measurement, anType, {});
}

}  // namespace quillet::sweep
