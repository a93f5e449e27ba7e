#include "sweep/point_order.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>

#include "sweep/report.h"

namespace quillet::sweep {
namespace {

constexpr double kNone = -std::numeric_limits<double>::infinity();

double SortKey(const EvaluatedPoint& p, int column) {
    const auto statistic = [&p](double PhaseStatistics::*member) {
        return p.statistics ? (*p.statistics).*member : std::numeric_limits<double>::infinity();
    };
    switch (column) {
    case kFrequencyColumn: return p.frequencyMHz;
    case kMagnitudeColumn: return p.magnitudeOhm;
    case kPhaseColumn: return p.phaseDegrees;
    case kDeviationColumn: return p.deviationDb.value_or(kNone);
    case kEutPhaseColumn: return p.eutPhaseDegrees.value_or(kNone);
    case kExactHighColumn: return p.exact ? p.exact->highestDb : std::numeric_limits<double>::infinity();
    case kExactLowColumn: return p.exact ? p.exact->lowestDb : -std::numeric_limits<double>::infinity();
    case kMeanColumn: return statistic(&PhaseStatistics::meanDb);
    case kStandardDeviationColumn: return statistic(&PhaseStatistics::standardDeviationDb);
    case kRmsColumn: return statistic(&PhaseStatistics::rmsDb);
    default: return p.withinTolerance ? 0.0 : 1.0;
    }
}

// The same for the columns whose values the evaluation keeps, without
// making the point; nothing for the others.
std::optional<double> KeptSortKey(const EvaluatedPoints& points, std::size_t i, int column) {
    switch (column) {
    case kFrequencyColumn: return points.FrequencyMHz(i);
    case kMagnitudeColumn: return points.MagnitudeOhm(i);
    case kPhaseColumn: return points.PhaseDegrees(i);
    case kDeviationColumn: return points.DeviationDb(i).value_or(kNone);
    case kEutPhaseColumn: return points.EutPhaseDegrees(i).value_or(kNone);
    default: return std::nullopt;
    }
}

}  // namespace

std::vector<std::uint32_t> SortedOrder(const EvaluatedPoints& points, int column, bool ascending) {
    if (column < 0)
        return {};
    // Each key once. The measured values and the calculator's results are
    // kept; for the rest a point is made again (a microsecond or two).
    const std::size_t n = points.size();
    std::vector<double> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::optional<double> kept = KeptSortKey(points, i, column);
        keys[i] = kept ? *kept : SortKey(points[i], column);
    }
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });
    return order;
}

}  // namespace quillet::sweep
