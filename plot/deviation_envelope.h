// What the deviation plot keeps of a sweep: every point while they are few,
// an envelope of buckets when they are many, so memory stays bounded.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "plot/bucketed_entries.h"
#include "sweep/evaluation.h"

namespace quillet::plot {

// A value and the frequency it was found at.
struct PlottedValue {
    double frequencyMHz;
    double db;
};

// One point, or adjacent points merged. A value absent means no point of
// the entry had one. "Broken" means some point had none, which breaks the
// line or band at this entry; the first and last flags say whether the
// entry's edges still join its neighbours.
struct PlotEntry {
    std::size_t points = 0;

    std::optional<PlottedValue> lowestDeviation, highestDeviation;  // calculator
    bool firstHasDeviation = false, lastHasDeviation = false, deviationBroken = false;

    std::optional<PlottedValue> exactHighest, exactLowest;  // over the bounded points
    bool firstBounded = false, lastBounded = false, exactBroken = false;

    // The deviation's mean over the EUT phase, and the mean less and plus
    // one standard deviation, over the points that have them.
    std::optional<PlottedValue> lowestMean, highestMean;
    std::optional<PlottedValue> spreadHighest, spreadLowest;
    bool firstHasStatistics = false, lastHasStatistics = false, statisticsBroken = false;

    // The calculator deviation of the point outside the tolerance that lies
    // farthest from 0 dB.
    std::optional<PlottedValue> outside;
};

// The range every point spans, whatever was merged: the axes come from it.
struct PlotRange {
    double fromMHz = 0, toMHz = 0;  // first and last plotted frequency
    double lowDb = 0, highDb = 0;   // 0 dB is always included
};

// The points in buckets (BucketedEntries) of at most maxEntries entries.
class DeviationEnvelope {
public:
    static constexpr std::size_t kDefaultMaxEntries = 4096;

    // maxEntries: at least 2, rounded down to an even number.
    explicit DeviationEnvelope(std::size_t maxEntries = kDefaultMaxEntries);

    // Points at or below 0 MHz are left out: a logarithmic axis has no
    // place for them.
    void Add(const sweep::EvaluatedPoint& point);

    const std::vector<PlotEntry>& Entries() const { return entries_.Entries(); }
    bool Empty() const { return entries_.Empty(); }
    const PlotRange& Range() const { return range_; }

private:
    BucketedEntries<PlotEntry> entries_;
    PlotRange range_;
};

}  // namespace quillet::plot
