#include "plot/deviation_envelope.h"

#include <algorithm>
#include <cmath>

namespace quillet::plot {
namespace {

PlotEntry FromPoint(const sweep::EvaluatedPoint& p) {
    const double f = p.frequencyMHz;
    PlotEntry entry;
    entry.points = 1;
    if (p.deviationDb) {
        entry.lowestDeviation = entry.highestDeviation = PlottedValue{f, *p.deviationDb};
        entry.firstHasDeviation = entry.lastHasDeviation = true;
        if (!p.withinTolerance)
            entry.outside = PlottedValue{f, *p.deviationDb};
    } else {
        entry.deviationBroken = true;
    }
    if (p.exact) {
        entry.exactHighest = PlottedValue{f, p.exact->highestDb};
        entry.exactLowest = PlottedValue{f, p.exact->lowestDb};
        entry.firstBounded = entry.lastBounded = true;
    } else {
        entry.exactBroken = true;
    }
    if (p.statistics) {
        const PhaseStatistics& s = *p.statistics;
        entry.lowestMean = entry.highestMean = PlottedValue{f, s.meanDb};
        entry.spreadHighest = PlottedValue{f, s.meanDb + s.standardDeviationDb};
        entry.spreadLowest = PlottedValue{f, s.meanDb - s.standardDeviationDb};
        entry.firstHasStatistics = entry.lastHasStatistics = true;
    } else {
        entry.statisticsBroken = true;
    }
    return entry;
}

// Ties keep the earlier value, so the result does not depend on how the
// points were grouped.
template <typename Better>
void Keep(std::optional<PlottedValue>& kept, const std::optional<PlottedValue>& later, Better better) {
    if (later && (!kept || better(later->db, kept->db)))
        kept = later;
}

// later follows into in frequency.
void Merge(PlotEntry& into, const PlotEntry& later) {
    const auto lower = [](double a, double b) { return a < b; };
    const auto higher = [](double a, double b) { return a > b; };
    into.points += later.points;

    Keep(into.lowestDeviation, later.lowestDeviation, lower);
    Keep(into.highestDeviation, later.highestDeviation, higher);
    into.lastHasDeviation = later.lastHasDeviation;
    into.deviationBroken = into.deviationBroken || later.deviationBroken;

    Keep(into.exactHighest, later.exactHighest, higher);
    Keep(into.exactLowest, later.exactLowest, lower);
    into.lastBounded = later.lastBounded;
    into.exactBroken = into.exactBroken || later.exactBroken;

    Keep(into.lowestMean, later.lowestMean, lower);
    Keep(into.highestMean, later.highestMean, higher);
    Keep(into.spreadHighest, later.spreadHighest, higher);
    Keep(into.spreadLowest, later.spreadLowest, lower);
    into.lastHasStatistics = later.lastHasStatistics;
    into.statisticsBroken = into.statisticsBroken || later.statisticsBroken;

    Keep(into.outside, later.outside, [](double a, double b) { return std::fabs(a) > std::fabs(b); });
}

}  // namespace

DeviationEnvelope::DeviationEnvelope(std::size_t maxEntries) : entries_(maxEntries) {}

void DeviationEnvelope::Add(const sweep::EvaluatedPoint& point) {
    if (!(point.frequencyMHz > 0))
        return;

    if (entries_.Empty())
        range_.fromMHz = point.frequencyMHz;
    range_.toMHz = point.frequencyMHz;
    if (point.deviationDb) {
        range_.lowDb = std::min(range_.lowDb, *point.deviationDb);
        range_.highDb = std::max(range_.highDb, *point.deviationDb);
    }
    if (point.exact) {
        range_.lowDb = std::min(range_.lowDb, point.exact->lowestDb);
        range_.highDb = std::max(range_.highDb, point.exact->highestDb);
    }
    if (point.statistics) {  // one standard deviation can reach beyond the exact band
        const PhaseStatistics& s = *point.statistics;
        range_.lowDb = std::min(range_.lowDb, s.meanDb - s.standardDeviationDb);
        range_.highDb = std::max(range_.highDb, s.meanDb + s.standardDeviationDb);
    }

    entries_.Add(FromPoint(point), Merge);
}

}  // namespace quillet::plot
