// The body of the lane sweep, built once per instruction set by the units
// that include it (sweep_lanes.cpp, sweep_lanes_avx.cpp). Everything here
// stays local to the including unit, so code built for one instruction set
// is never shared with another. L gives the vector type and its operations:
// V, kLanes, Load, Splat, Sqrt, Greater, Less, AtLeast, AtMost, And, Or,
// Select, Max, Min, Mask (one bit per lane), Store.
#pragma once

#include <cmath>
#include <optional>

#include "engine/sweep_lanes.h"

namespace quillet::lanes {
namespace {

// The extremes of one lane, already in grid order within the lane.
struct LaneExtremes {
    double maxRatio, maxAngle, minRatio, minAngle;
};

// Merges the lanes: the extreme values, then the earliest angle holding it.
// The starting values stand until a lane passed them, as in one pass.
inline RatioExtremes MergeLanes(const LaneExtremes* lanes, int count) {
    RatioExtremes merged;
    for (int lane = 0; lane < count; ++lane) {
        const LaneExtremes& e = lanes[lane];
        if (e.maxRatio > merged.maxRatio || (e.maxRatio == merged.maxRatio && e.maxAngle < merged.maxAngle)) {
            merged.maxRatio = e.maxRatio;
            merged.maxAngle = e.maxAngle;
        }
        if (e.minRatio < merged.minRatio || (e.minRatio == merged.minRatio && e.minAngle < merged.minAngle)) {
            merged.minRatio = e.minRatio;
            merged.minAngle = e.minAngle;
        }
    }
    return merged;
}

template <class L>
SweepOutcome SweepInLanes(const Grid& grid, const SweepInputs& in) {
    using V = typename L::V;
    const V one = L::Splat(1.0);
    const V rm = L::Splat(in.rm), xm = L::Splat(in.xm), rn = L::Splat(in.rn), xn = L::Splat(in.xn);
    const V a = L::Splat(in.a), b = L::Splat(in.b);
    V maxRatio = L::Splat(RatioExtremes{}.maxRatio), maxAngle = L::Splat(RatioExtremes{}.maxAngle);
    V minRatio = L::Splat(RatioExtremes{}.minRatio), minAngle = L::Splat(RatioExtremes{}.minAngle);
    // x - x is 0 for a finite x and NaN otherwise; a NaN stays in the sum.
    V faults = L::Splat(0.0);
    for (int i = 0; i < kPaddedPoints; i += L::kLanes) {
        const V c = L::Load(grid.cosine + i);
        const V s = L::Load(grid.sine + i);
        // The operations of the one-point-at-a-time sweep, in its order.
        const V g = one - c * rm + xm * s;
        const V h = c * xm + rm * s;
        const V cSquared = h * h + g * g;
        const V m = one - c * rn + xn * s;
        const V n = c * xn + rn * s;
        const V dSquared = n * n + m * m;
        const V ratio = a / L::Sqrt(cSquared) * L::Sqrt(dSquared) / b;
        faults = faults + (cSquared - cSquared);
        faults = faults + (dSquared - dSquared);
        faults = faults + (ratio - ratio);

        const V angle = L::Load(grid.angle + i);
        const auto above = L::Greater(ratio, maxRatio);
        maxRatio = L::Select(above, ratio, maxRatio);
        maxAngle = L::Select(above, angle, maxAngle);
        const auto below = L::Less(ratio, minRatio);
        minRatio = L::Select(below, ratio, minRatio);
        minAngle = L::Select(below, angle, minAngle);
    }

    double fault[L::kLanes];
    double lane[4][L::kLanes];
    L::Store(fault, faults);
    L::Store(lane[0], maxRatio);
    L::Store(lane[1], maxAngle);
    L::Store(lane[2], minRatio);
    L::Store(lane[3], minAngle);
    LaneExtremes lanes[L::kLanes];
    bool finite = true;
    for (int k = 0; k < L::kLanes; ++k) {
        finite = finite && fault[k] == 0.0;
        lanes[k] = {lane[0][k], lane[1][k], lane[2][k], lane[3][k]};
    }
    return {MergeLanes(lanes, L::kLanes), finite};
}

// The screened sweep. The ratio a / sqrt(C) * sqrt(D) / b rises and falls
// with q = D / C, so the first pass finds the extremes of q with one
// division per point, and only the points whose q lies within a factor
// (1 +- 2^-40) of an extreme get their ratio, exactly as the full sweep
// computes it, in grid order.
//
// That the extremes and their earliest angles come out as in the full
// sweep: when a, b and every C and D lie within [2^-200, 2^200], every
// intermediate of a ratio is a normal number, so the computed ratio is
// within 5 rounding errors (5 * 2^-53) of a * sqrt(D / C) / b and q within
// one of D / C. A ratio at least as large as that of the point with the
// largest q then needs a q within 23 * 2^-53 of the largest, far inside
// 2^-40: every point that can hold the largest ratio is among those
// evaluated (and likewise for the smallest), so their pass in grid order
// gives the values and angles of a pass over every point. The range also
// rules out a fault. Outside it, nothing: the caller runs the full sweep.
inline constexpr double kScreenFloor = 0x1p-200;
inline constexpr double kScreenCeiling = 0x1p200;
inline constexpr double kScreenMargin = 0x1p-40;

inline bool WithinScreenRange(double x) { return x >= kScreenFloor && x <= kScreenCeiling; }

template <class L>
std::optional<RatioExtremes> ScreenInLanes(const Grid& grid, const SweepInputs& in) {
    if (!WithinScreenRange(in.a) || !WithinScreenRange(in.b))
        return std::nullopt;
    using V = typename L::V;
    const V one = L::Splat(1.0);
    const V rm = L::Splat(in.rm), xm = L::Splat(in.xm), rn = L::Splat(in.rn), xn = L::Splat(in.xn);
    const V floor = L::Splat(kScreenFloor), ceiling = L::Splat(kScreenCeiling);
    alignas(64) double cs[kPaddedPoints], ds[kPaddedPoints], qs[kPaddedPoints];
    V qMax = L::Splat(0.0), qMin = L::Splat(HUGE_VAL);
    auto inRange = L::AtLeast(one, one);
    for (int i = 0; i < kPaddedPoints; i += L::kLanes) {
        const V c = L::Load(grid.cosine + i);
        const V s = L::Load(grid.sine + i);
        const V g = one - c * rm + xm * s;
        const V h = c * xm + rm * s;
        const V cSquared = h * h + g * g;
        const V m = one - c * rn + xn * s;
        const V n = c * xn + rn * s;
        const V dSquared = n * n + m * m;
        const V q = dSquared / cSquared;
        inRange = L::And(inRange, L::And(L::AtLeast(cSquared, floor), L::AtMost(cSquared, ceiling)));
        inRange = L::And(inRange, L::And(L::AtLeast(dSquared, floor), L::AtMost(dSquared, ceiling)));
        qMax = L::Max(qMax, q);
        qMin = L::Min(qMin, q);
        L::Store(cs + i, cSquared);
        L::Store(ds + i, dSquared);
        L::Store(qs + i, q);
    }
    if (L::Mask(inRange) != (1 << L::kLanes) - 1)
        return std::nullopt;
    double lanesMax[L::kLanes], lanesMin[L::kLanes];
    L::Store(lanesMax, qMax);
    L::Store(lanesMin, qMin);
    double largest = lanesMax[0], smallest = lanesMin[0];
    for (int k = 1; k < L::kLanes; ++k) {
        largest = std::fmax(largest, lanesMax[k]);
        smallest = std::fmin(smallest, lanesMin[k]);
    }

    const V high = L::Splat(largest * (1.0 - kScreenMargin));
    const V low = L::Splat(smallest * (1.0 + kScreenMargin));
    RatioExtremes extremes;
    for (int i = 0; i < kSweepPoints; i += L::kLanes) {
        const V q = L::Load(qs + i);
        unsigned near = static_cast<unsigned>(L::Mask(L::Or(L::AtLeast(q, high), L::AtMost(q, low))));
        for (int k = 0; near != 0; ++k, near >>= 1u) {
            const int point = i + k;
            if ((near & 1u) != 0 && point < kSweepPoints)
                extremes.Add(in.a / std::sqrt(cs[point]) * std::sqrt(ds[point]) / in.b, grid.angle[point]);
        }
    }
    return extremes;
}

}  // namespace
}  // namespace quillet::lanes
