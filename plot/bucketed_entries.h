// What a plot keeps of a sweep of any length: every point while they are
// few, buckets of consecutive points when they are many, so memory stays
// bounded and the buckets stay equal in size.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quillet::plot {

// Up to maxEntries points, each point is an entry of its own and a plot
// draws exactly what it would from the points. When one more arrives,
// neighbouring entries merge pairwise and every entry from then on takes
// twice as many consecutive points, so the entries stay equal in size and
// between half and all of maxEntries in number. Entry counts its points in
// `points`; merge(into, later) folds an entry into the one before it.
template <typename Entry>
class BucketedEntries {
public:
    // maxEntries: at least 2, rounded down to an even number.
    explicit BucketedEntries(std::size_t maxEntries) : maxEntries_(std::max<std::size_t>(2, maxEntries / 2 * 2)) {
        entries_.reserve(maxEntries_);
    }

    template <typename Merge>
    void Add(const Entry& entry, Merge merge) {
        if (!entries_.empty() && entries_.back().points < pointsPerEntry_) {
            merge(entries_.back(), entry);
            return;
        }
        if (entries_.size() == maxEntries_) {
            // Every entry holds pointsPerEntry_ points here.
            for (std::size_t i = 0; i < maxEntries_ / 2; ++i) {
                entries_[i] = entries_[2 * i];
                merge(entries_[i], entries_[2 * i + 1]);
            }
            entries_.resize(maxEntries_ / 2);
            pointsPerEntry_ *= 2;
        }
        entries_.push_back(entry);
    }

    const std::vector<Entry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }
    std::size_t PointsPerEntry() const { return pointsPerEntry_; }

private:
    std::size_t maxEntries_;
    std::size_t pointsPerEntry_ = 1;
    std::vector<Entry> entries_;
};

}  // namespace quillet::plot
