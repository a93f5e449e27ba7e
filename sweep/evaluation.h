// Every point of a measured sweep through the calculator's engine, with the
// exact worst case and the usual tolerance check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/an_types.h"
#include "engine/exact_extremes.h"
#include "engine/phase_statistics.h"
#include "measurement/measurement.h"
#include "measurement/text_lines.h"
#include "sweep/budget.h"
#include "sweep/verdict.h"

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
    ToleranceOffset toleranceOffset;            // of the point as typed
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
    Verdict verdict;               // under the rule the summary was made with

    void Add(const EvaluatedPoint& point);
};

// One point as the calculator shows it when its three texts are typed into
// the boxes, with the exact worst case and the tolerance check of the point
// as typed.
EvaluatedPoint EvaluatePoint(const measurement::MeasuredPoint& measured, std::int16_t anType);

// The points of a whole sweep as kept for showing. A point with its texts
// takes nearly 300 bytes, which a sweep of a million points cannot afford
// twice over (while a new evaluation replaces the one on show); so of each
// point only the calculator's two results are kept, as numbers, beside the
// measured point, which is shared with the measurement. The rest of a point
// is made again when asked for, by the same functions that made it when it
// was evaluated, so it comes out the same to the last bit.
class EvaluatedPoints {
public:
    EvaluatedPoints() = default;
    EvaluatedPoints(std::shared_ptr<const measurement::Measurement> measured, std::int16_t anType);

    // Keeps what cannot be made again of the next point of the measurement,
    // evaluated for this type.
    void Keep(const EvaluatedPoint& point);

    std::size_t size() const { return flags_.size(); }
    bool empty() const { return flags_.empty(); }
    EvaluatedPoint operator[](std::size_t index) const;
    EvaluatedPoint at(std::size_t index) const;  // throws std::out_of_range

    // Without making the whole point:
    double FrequencyMHz(std::size_t index) const { return Measured(index).frequencyMHz; }
    double MagnitudeOhm(std::size_t index) const;
    double PhaseDegrees(std::size_t index) const;
    std::optional<double> DeviationDb(std::size_t index) const;
    std::optional<double> EutPhaseDegrees(std::size_t index) const;
    ToleranceOffset Offset(std::size_t index) const;
    // The first point at or above a frequency (the frequencies rise).
    std::size_t LowerBound(double frequencyMHz) const;

    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = EvaluatedPoint;
        using difference_type = std::ptrdiff_t;

        Iterator(const EvaluatedPoints* points, std::size_t index) : points_(points), index_(index) {}
        EvaluatedPoint operator*() const { return (*points_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

    private:
        const EvaluatedPoints* points_;
        std::size_t index_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

private:
    const measurement::MeasuredPoint& Measured(std::size_t index) const { return measured_->points[index]; }

    enum Flag : std::uint8_t { kShown = 1, kClamped = 2 };  // the calculator gave results; inputs clamped

    std::shared_ptr<const measurement::Measurement> measured_;
    std::int16_t anType_ = 1;
    std::vector<double> deviationDb_;  // as the result boxes read; 0 where not shown
    std::vector<double> eutPhaseDegrees_;
    std::vector<std::uint8_t> flags_;
};

struct Evaluation {
    std::int16_t anType;
    EvaluatedPoints points;
    Summary summary;
};

// Hears how many points of how many have been taken on for evaluation
// (a few thousand ahead of those finished), after each; false stops the
// evaluation.
using EvaluationProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Hears each point once evaluated, in the measurement's order.
using EachPoint = std::function<void(const EvaluatedPoint& point)>;

// A whole measurement, every point kept, on every core. Nothing when the
// progress function stopped it.
std::optional<Evaluation> Evaluate(const std::shared_ptr<const measurement::Measurement>& measurement,
                                   std::int16_t anType, const EvaluationProgress& progress,
                                   const std::vector<Band>& bands = DefaultBands(), const EachPoint& each = {});
Evaluation Evaluate(const measurement::Measurement& measurement, std::int16_t anType);

// A summary that tallies the points of these bands and judges them under
// the rule.
Summary SummaryOfBands(const std::vector<Band>& bands, const DecisionRule& rule = {});

// The shortest text that reads back to the value (for typed values and
// machine-readable output).
using measurement::AppendShortestText;
using measurement::ShortestText;

// At most 15 significant digits, trailing zeros dropped: what the
// calculator keeps of a value, without the noise of a unit conversion.
std::string SignificantText(double value);

}  // namespace quillet::sweep
