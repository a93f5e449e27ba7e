// The EUT phase sweep several grid points at a time, for SweepDeviation.
// Inside the engine only.
#pragma once

#include <optional>

#include "engine/deviation.h"

namespace quillet::lanes {

// The grid padded to a whole number of vectors of up to eight lanes. The
// padding repeats the first point (angle 0), which changes neither an
// extreme nor its earliest angle nor whether a fault occurs.
inline constexpr int kPaddedPoints = 632;
static_assert(kPaddedPoints >= kSweepPoints && kPaddedPoints % 8 == 0);

struct Grid {
    alignas(64) double angle[kPaddedPoints];
    alignas(64) double cosine[kPaddedPoints];
    alignas(64) double sine[kPaddedPoints];
};

// The scaled reflection coefficients and the two magnitudes that do not
// depend on the EUT phase.
struct SweepInputs {
    double rm, xm;  // measured
    double rn, xn;  // nominal
    double a, b;    // |1 + Gamma_m|, |1 + Gamma_n|
};

struct SweepOutcome {
    RatioExtremes extremes;
    bool finite;  // every sum of squares and every ratio
};

// Each lane walks every lane-th grid point with the strict comparisons of
// RatioExtremes::Add; the lanes are then merged, taking the smallest angle
// among equal extremes, so the outcome is that of one pass in grid order.
SweepOutcome SweepTwoLanes(const Grid& grid, const SweepInputs& in);   // SSE2, or one point at a time
SweepOutcome SweepFourLanes(const Grid& grid, const SweepInputs& in);  // AVX

// The same extremes from the ratios of only the points that can hold them
// (see sweep_lanes_body.h for why they are the same); nothing where the
// inputs are too far out for that argument, which also takes every fault.
std::optional<RatioExtremes> ScreenTwoLanes(const Grid& grid, const SweepInputs& in);
std::optional<RatioExtremes> ScreenFourLanes(const Grid& grid, const SweepInputs& in);

// Whether this build and this processor can run SweepFourLanes.
bool FourLanesAvailable();

// The grid every sweep runs on, made once.
const Grid& SweepGrid();

// The sweep in the widest lanes this processor runs (chosen once): screened
// where it can be, else in full.
SweepOutcome Sweep(const SweepInputs& in);

}  // namespace quillet::lanes
