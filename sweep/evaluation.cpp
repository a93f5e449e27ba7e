#include "sweep/evaluation.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "engine/number_text.h"
#include "sweep/parallel_evaluation.h"
#include "window/results.h"
#include "window/shown_point.h"

namespace quillet::sweep {
std::string SignificantText(double value) {
    // As printf's %.15g: fixed for exponents from -4 to 14, else scientific;
    // without the general conversion for a short decimal (see
    // ShortDecimalDigits), as nearly every measured frequency is.
    if (value != 0 && std::isfinite(value)) {
        if (const auto number = ShortDecimalDigits(std::fabs(value))) {
            std::string text(value < 0 ? "-" : "");
            if (number->exponent >= -4 && number->exponent < 15)
                AppendFixedNotation(text, *number);
            else
                AppendScientificNotation(text, *number);
            return text;
        }
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::string ToleranceText() {
    return "+-" + SignificantText(kMagnitudeTolerance * 100) + " % in magnitude, +-" +
           SignificantText(kPhaseToleranceDegrees) + " deg in phase";
}

Summary SummaryOfBands(const std::vector<Band>& bands, const DecisionRule& rule) {
    Summary summary;
    summary.verdict.rule = rule;
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
    verdict.Add(JudgePoint(p, verdict.rule), p.frequencyMHz);
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

namespace {

double Magnitude(const measurement::MeasuredPoint& m) { return Abs(m.impedance); }
double Phase(const measurement::MeasuredPoint& m) { return measurement::Degrees(Arg(m.impedance)); }

// A measured point with the three texts typed for it.
EvaluatedPoint Typed(const measurement::MeasuredPoint& m) {
    EvaluatedPoint p{};
    p.frequencyMHz = m.frequencyMHz;
    p.magnitudeOhm = Magnitude(m);
    p.phaseDegrees = Phase(m);
    p.frequencyText = SignificantText(m.frequencyMHz);
    p.magnitudeText = ShortestText(RoundHalfEven(p.magnitudeOhm, 3));
    // A phase of -0 (a whole number of turns below zero) is typed as 0.
    p.phaseText = ShortestText(RoundHalfEven(p.phaseDegrees, 3) + 0.0);
    return p;
}

// The three texts of a point as they read.
std::array<double, 3> ReadTyped(const EvaluatedPoint& p) {
    return {ParseNumber(p.frequencyText), ParseNumber(p.magnitudeText), ParseNumber(p.phaseText)};
}

// The tolerance is judged on the magnitude and phase as typed, so a point
// typed on the edge of the tolerance is within it.
ToleranceOffset TypedOffset(const std::array<double, 3>& typed, std::int16_t anType) {
    return OffsetFromNominal(WithZeroStandIn(typed[1]), typed[2], NominalImpedance(anType, WithZeroStandIn(typed[0])));
}

// The exact worst case and the tolerance are of the point as typed
// (typed: what the three texts read as), beyond the boxes' limits too,
// with the calculator's stand-in for a zero frequency or magnitude.
void JudgeTyped(EvaluatedPoint& p, const std::array<double, 3>& typed, std::int16_t anType) {
    const double frequency = WithZeroStandIn(typed[0]);
    const std::complex<double> impedance = PolarDegrees(WithZeroStandIn(typed[1]), typed[2]);
    p.exact = ExactExtremes(impedance, frequency, anType);
    p.statistics = DeviationStatistics(impedance, frequency, anType);
    p.toleranceOffset = TypedOffset(typed, anType);
    p.withinTolerance = WithinTolerance(p.toleranceOffset);
}

}  // namespace

EvaluatedPoint EvaluatePoint(const measurement::MeasuredPoint& m, std::int16_t anType) {
    EvaluatedPoint p = Typed(m);
    ShownPoint shown = ShowPoint(p.frequencyText, p.magnitudeText, p.phaseText, anType);
    p.deviationText = std::move(shown.results.deviationText);
    p.eutPhaseText = std::move(shown.results.eutPhaseText);
    p.deviationDb = shown.results.shownDeviationDb;
    p.eutPhaseDegrees = shown.results.shownEutPhaseDegrees;
    p.inputsClamped = shown.AnyClamped();
    JudgeTyped(p, shown.typed, anType);
    return p;
}

EvaluatedPoints::EvaluatedPoints(std::shared_ptr<const measurement::Measurement> measured, std::int16_t anType)
    : measured_(std::move(measured)), anType_(anType) {
    const std::size_t n = measured_->points.size();
    deviationDb_.reserve(n);
    eutPhaseDegrees_.reserve(n);
    flags_.reserve(n);
}

void EvaluatedPoints::Keep(const EvaluatedPoint& point) {
    deviationDb_.push_back(point.deviationDb.value_or(0.0));
    eutPhaseDegrees_.push_back(point.eutPhaseDegrees.value_or(0.0));
    flags_.push_back(
        static_cast<std::uint8_t>((point.deviationDb ? kShown : 0) | (point.inputsClamped ? kClamped : 0)));
}

EvaluatedPoint EvaluatedPoints::operator[](std::size_t index) const {
    EvaluatedPoint p = Typed(Measured(index));
    // The texts read as ShowPoint reads them. Whether its boxes changed them
    // is kept, and so are the numbers its result boxes read as: a result box
    // shows its value rounded to two decimals, and the number it reads as is
    // that rounded value (a -0 made 0, which shows alike), so the kept
    // number gives back the box's text.
    const std::array<double, 3> typed = ReadTyped(p);
    p.inputsClamped = (flags_[index] & kClamped) != 0;
    p.deviationDb = DeviationDb(index);
    p.eutPhaseDegrees = EutPhaseDegrees(index);
    if (p.deviationDb && p.eutPhaseDegrees) {
        p.deviationText = NumberText(*p.deviationDb);
        p.eutPhaseText = NumberText(*p.eutPhaseDegrees);
    } else {
        p.deviationText = kNotValid;
        p.eutPhaseText = kNotValid;
    }
    JudgeTyped(p, typed, anType_);
    return p;
}

ToleranceOffset EvaluatedPoints::Offset(std::size_t index) const {
    return TypedOffset(ReadTyped(Typed(Measured(index))), anType_);
}

double EvaluatedPoints::MagnitudeOhm(std::size_t index) const { return Magnitude(Measured(index)); }

double EvaluatedPoints::PhaseDegrees(std::size_t index) const { return Phase(Measured(index)); }

std::optional<double> EvaluatedPoints::DeviationDb(std::size_t index) const {
    return (flags_[index] & kShown) != 0 ? std::optional(deviationDb_[index]) : std::nullopt;
}

std::optional<double> EvaluatedPoints::EutPhaseDegrees(std::size_t index) const {
    return (flags_[index] & kShown) != 0 ? std::optional(eutPhaseDegrees_[index]) : std::nullopt;
}

EvaluatedPoint EvaluatedPoints::at(std::size_t index) const {
    if (index >= size())
        throw std::out_of_range("no point " + std::to_string(index) + " in a sweep of " + std::to_string(size()));
    return (*this)[index];
}

std::size_t EvaluatedPoints::LowerBound(double frequencyMHz) const {
    if (!measured_)
        return 0;
    const auto& points = measured_->points;
    const auto end = points.begin() + static_cast<std::ptrdiff_t>(size());
    return static_cast<std::size_t>(
        std::lower_bound(points.begin(), end, frequencyMHz,
                         [](const measurement::MeasuredPoint& m, double f) { return m.frequencyMHz < f; }) -
        points.begin());
}

std::optional<Evaluation> Evaluate(const std::shared_ptr<const measurement::Measurement>& measurement,
                                   std::int16_t anType, const EvaluationProgress& progress,
                                   const std::vector<Band>& bands, const EachPoint& each) {
    Evaluation evaluation{anType, EvaluatedPoints(measurement, anType), SummaryOfBands(bands)};
    ParallelEvaluator evaluator(anType, [&evaluation, &each](const EvaluatedPoint& point, const std::string&) {
        evaluation.points.Keep(point);
        evaluation.summary.Add(point);
        if (each)
            each(point);
    });
    const std::size_t total = measurement->points.size();
    std::size_t taken = 0;
    for (const measurement::MeasuredPoint& m : measurement->points) {
        evaluator.Add(m);
        if (progress && !progress(++taken, total))
            return std::nullopt;
    }
    evaluator.Finish();
    return evaluation;
}

Evaluation Evaluate(const measurement::Measurement& measurement, std::int16_t anType) {
    return *Evaluate(std::make_shared<const measurement::Measurement>(measurement), anType, {});
}

}  // namespace quillet::sweep
