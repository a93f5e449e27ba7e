// Whether a measured AN impedance conforms to the tolerance around its
// nominal value, under a stated decision rule: simple acceptance when no
// measurement uncertainty is given, otherwise a guarded rule with four
// outcomes (pass, conditional pass, conditional fail, fail) and a guard
// band as wide as the expanded uncertainty.
//
// Every point is judged by its margins: how far it lies inside the nearer
// edge of the tolerance, in magnitude as percentage points of the nominal
// magnitude (+-20 % allows 80 % to 120 %) and in phase as degrees; negative
// outside. A margin of exactly 0 (on the edge) counts as inside.
//
// With the guard band w (per quantity), a margin m is
//   pass              m >= w
//   conditional pass  0 <= m < w
//   conditional fail  -w < m < 0
//   fail              m <= -w
// and the point takes the worse outcome of magnitude and phase. With w = 0
// this is simple acceptance: pass on or inside the edge, fail outside.
//
// The magnitude's uncertainty is stated in % of the measured magnitude:
// U_m % of |Z| is U_m * |Z| / |Z nominal| percentage points of the nominal,
// the guard band in magnitude. So a point passes in magnitude exactly when
// |Z| (1 +- U_m/100) lies within the tolerance, and fails when that whole
// range lies beyond one edge. The phase's guard band is U_p degrees.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <optional>
#include <string>

namespace quillet::sweep {

struct EvaluatedPoint;
struct Evaluation;

// Where a measured impedance lies against the nominal one.
struct ToleranceOffset {
    double magnitudeRatio;  // |Z| / |Z nominal|
    double phaseDegrees;    // arg Z - arg Z nominal, wrapped into [-180, 180]
};
ToleranceOffset OffsetFromNominal(double magnitudeOhm, double phaseDegrees, std::complex<double> nominal);

enum class Outcome { Pass, ConditionalPass, ConditionalFail, Fail };  // better to worse

// The expanded uncertainty of the impedance measurement, as the lab states
// it: U in % of the measured magnitude and in degrees, at coverage factor k.
struct MeasurementUncertainty {
    double magnitudePercent = 0;
    double phaseDegrees = 0;
    double coverageFactor = 2;
};

struct DecisionRule {
    std::optional<MeasurementUncertainty> uncertainty;  // none: simple acceptance
};

struct PointJudgement {
    Outcome outcome;
    double magnitudeMarginPercent;  // percentage points of the nominal; negative outside
    double phaseMarginDegrees;      // negative outside
    // The smaller margin as a share of its tolerance (20 % points, 11.5
    // deg), so magnitude and phase compare: 1 at the nominal, 0 on an edge.
    double RelativeMargin() const;
    bool MagnitudeIsNearer() const;  // magnitude's margin is the smaller share (ties: magnitude)
};

PointJudgement JudgePoint(const ToleranceOffset& offset, const DecisionRule& rule);
PointJudgement JudgePoint(const EvaluatedPoint& point, const DecisionRule& rule);

// Inside the tolerance, the edge included: simple acceptance's pass.
bool WithinTolerance(const ToleranceOffset& offset);

// The point nearest to (or farthest beyond) the tolerance's edge.
struct WorstMargin {
    double frequencyMHz;
    PointJudgement judgement;
};

// The verdict of a whole sweep, gathered point by point: the worst point's
// outcome. With no point judged nothing has been shown to conform: fail.
struct Verdict {
    DecisionRule rule;
    Outcome outcome = Outcome::Fail;
    std::array<std::size_t, 4> points{};  // per outcome, in Outcome's order
    std::optional<WorstMargin> worstMargin;

    void Add(const PointJudgement& judgement, double frequencyMHz);
    bool Judged() const { return worstMargin.has_value(); }  // any point at all
};

// Every point of an evaluation under a rule (the evaluation's own summary
// keeps the verdict under the rule it was made with).
Verdict JudgeEvaluation(const Evaluation& evaluation, const DecisionRule& rule);

// "pass", "conditional pass", "conditional fail", "fail".
std::string OutcomeName(Outcome outcome);

// The rule in plain words, for a record: "Simple acceptance (no measurement
// uncertainty stated): ..." or "Guarded acceptance, guard band w = U ...".
std::string RuleText(const DecisionRule& rule);

// The worst margin for reading, four significant digits: "-8.75 % points
// in magnitude at 30 MHz (-43.75 % of that tolerance; negative: outside)",
// in the quantity nearer its edge.
std::string WorstMarginText(const WorstMargin& worst);

}  // namespace quillet::sweep
