#include "sweep/verdict.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "sweep/evaluation.h"

namespace quillet::sweep {
namespace {

constexpr double kMagnitudeTolerancePercent = kMagnitudeTolerance * 100;

// How far a margin lies from the edge against the guard band: the bounds
// of the guard band go to pass and fail, the edge itself to inside.
Outcome Classify(double margin, double guardBand) {
    if (margin >= guardBand)
        return Outcome::Pass;
    if (margin >= 0)
        return Outcome::ConditionalPass;
    if (margin > -guardBand)
        return Outcome::ConditionalFail;
    return Outcome::Fail;  // also where a margin is not a number
}

std::string Number(double value) { return SignificantText(value); }

// A margin for reading: four significant digits.
std::string Margin(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 4);
    return std::string(buffer, result.ptr);
}

}  // namespace

ToleranceOffset OffsetFromNominal(double magnitudeOhm, double phaseDegrees, std::complex<double> nominal) {
    // A nominal phase lies within +-90 deg, so one turn brings the
    // difference into [-180, 180]: 359 deg against 0 deg is -1 deg.
    double phase = std::fmod(phaseDegrees, 360.0) - measurement::Degrees(Arg(nominal));
    if (phase > 180.0)
        phase -= 360.0;
    if (phase < -180.0)
        phase += 360.0;
    return {magnitudeOhm / Abs(nominal), phase};
}

double PointJudgement::RelativeMargin() const {
    return std::min(magnitudeMarginPercent / kMagnitudeTolerancePercent, phaseMarginDegrees / kPhaseToleranceDegrees);
}

bool PointJudgement::MagnitudeIsNearer() const {
    return magnitudeMarginPercent / kMagnitudeTolerancePercent <= phaseMarginDegrees / kPhaseToleranceDegrees;
}

PointJudgement JudgePoint(const ToleranceOffset& offset, const DecisionRule& rule) {
    const double ratio = offset.magnitudeRatio;
    // The differences to the edges are exact in sign, so a margin of 0 or
    // more is exactly a ratio within [1 - tolerance, 1 + tolerance].
    const double magnitudeMargin =
        100.0 * std::min(ratio - (1.0 - kMagnitudeTolerance), (1.0 + kMagnitudeTolerance) - ratio);
    const double phaseMargin = kPhaseToleranceDegrees - std::fabs(offset.phaseDegrees);
    double magnitudeGuard = 0, phaseGuard = 0;
    if (rule.uncertainty) {
        // U in % of the measured magnitude, as points of the nominal.
        magnitudeGuard = rule.uncertainty->magnitudePercent * ratio;
        phaseGuard = rule.uncertainty->phaseDegrees;
    }
    const Outcome outcome = std::max(Classify(magnitudeMargin, magnitudeGuard), Classify(phaseMargin, phaseGuard));
    return {outcome, magnitudeMargin, phaseMargin};
}

PointJudgement JudgePoint(const EvaluatedPoint& point, const DecisionRule& rule) {
    return JudgePoint(point.toleranceOffset, rule);
}

bool WithinTolerance(const ToleranceOffset& offset) { return JudgePoint(offset, {}).outcome == Outcome::Pass; }

void Verdict::Add(const PointJudgement& judgement, double frequencyMHz) {
    ++points[static_cast<std::size_t>(judgement.outcome)];
    if (!worstMargin) {
        outcome = judgement.outcome;
        worstMargin = WorstMargin{frequencyMHz, judgement};
        return;
    }
    outcome = std::max(outcome, judgement.outcome);
    if (judgement.RelativeMargin() < worstMargin->judgement.RelativeMargin())
        worstMargin = WorstMargin{frequencyMHz, judgement};
}

Verdict JudgeEvaluation(const Evaluation& evaluation, const DecisionRule& rule) {
    Verdict verdict;
    verdict.rule = rule;
    const EvaluatedPoints& points = evaluation.points;
    for (std::size_t i = 0; i < points.size(); ++i)
        verdict.Add(JudgePoint(points.Offset(i), rule), points.FrequencyMHz(i));
    return verdict;
}

std::string OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Pass: return "pass";
    case Outcome::ConditionalPass: return "conditional pass";
    case Outcome::ConditionalFail: return "conditional fail";
    case Outcome::Fail: break;
    }
    return "fail";
}

std::string RuleText(const DecisionRule& rule) {
    if (!rule.uncertainty)
        return "Simple acceptance (no measurement uncertainty stated): a point passes when its impedance lies "
               "within the tolerance (" +
               ToleranceText() + "), its edge included, and fails otherwise; the sweep passes when every point passes.";
    const MeasurementUncertainty& u = *rule.uncertainty;
    return "Guarded acceptance, guard band w = U (expanded uncertainty U = " + Number(u.magnitudePercent) +
           " % of the measured magnitude and " + Number(u.phaseDegrees) +
           " deg in phase, coverage factor k = " + Number(u.coverageFactor) + "): a point inside the tolerance (" +
           ToleranceText() +
           ") by at least w in magnitude and in phase passes, inside by less than w is a conditional pass, "
           "outside by less than w a conditional fail, outside by at least w in magnitude or phase a fail; "
           "the edge counts as inside; the sweep takes the outcome of its worst point.";
}

std::string WorstMarginText(const WorstMargin& worst) {
    const PointJudgement& j = worst.judgement;
    const std::string nearer = j.MagnitudeIsNearer() ? Margin(j.magnitudeMarginPercent) + " % points in magnitude"
                                                     : Margin(j.phaseMarginDegrees) + " deg in phase";
    return nearer + " at " + SignificantText(worst.frequencyMHz) + " MHz (" + Margin(100 * j.RelativeMargin()) +
           " % of that tolerance; negative: outside)";
}

}  // namespace quillet::sweep
