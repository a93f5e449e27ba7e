// Two lanes of SSE2, which every x86-64 processor has; elsewhere one point
// at a time with the same operations.
#include "engine/sweep_lanes.h"

#include <cmath>

#include "engine/elementary.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/sweep_lanes_body.h"

namespace quillet::lanes {
namespace {

#if defined(__SSE2__)
struct Sse2 {
    using V = __m128d;
    static constexpr int kLanes = 2;
    static V Load(const double* p) { return _mm_load_pd(p); }
    static V Splat(double x) { return _mm_set1_pd(x); }
    static V Sqrt(V x) { return _mm_sqrt_pd(x); }
    static V Greater(V x, V y) { return _mm_cmpgt_pd(x, y); }
    static V Less(V x, V y) { return _mm_cmplt_pd(x, y); }
    static V AtLeast(V x, V y) { return _mm_cmpge_pd(x, y); }
    static V AtMost(V x, V y) { return _mm_cmple_pd(x, y); }
    static V And(V x, V y) { return _mm_and_pd(x, y); }
    static V Or(V x, V y) { return _mm_or_pd(x, y); }
    static V Select(V mask, V x, V y) { return _mm_or_pd(_mm_and_pd(mask, x), _mm_andnot_pd(mask, y)); }
    static V Max(V x, V y) { return _mm_max_pd(x, y); }
    static V Min(V x, V y) { return _mm_min_pd(x, y); }
    static int Mask(V x) { return _mm_movemask_pd(x); }
    static void Store(double* p, V x) { _mm_store_pd(p, x); }
};
using TwoLanes = Sse2;
#else
struct OneLane {
    using V = double;
    static constexpr int kLanes = 1;
    static V Load(const double* p) { return *p; }
    static V Splat(double x) { return x; }
    static V Sqrt(V x) { return std::sqrt(x); }
    static bool Greater(V x, V y) { return x > y; }
    static bool Less(V x, V y) { return x < y; }
    static bool AtLeast(V x, V y) { return x >= y; }
    static bool AtMost(V x, V y) { return x <= y; }
    static bool And(bool x, bool y) { return x && y; }
    static bool Or(bool x, bool y) { return x || y; }
    static V Select(bool mask, V x, V y) { return mask ? x : y; }
    static V Max(V x, V y) { return x > y ? x : y; }
    static V Min(V x, V y) { return x < y ? x : y; }
    static int Mask(bool x) { return x ? 1 : 0; }
    static void Store(double* p, V x) { *p = x; }
};
using TwoLanes = OneLane;
#endif

}  // namespace

SweepOutcome SweepTwoLanes(const Grid& grid, const SweepInputs& in) { return SweepInLanes<TwoLanes>(grid, in); }
std::optional<RatioExtremes> ScreenTwoLanes(const Grid& grid, const SweepInputs& in) {
    return ScreenInLanes<TwoLanes>(grid, in);
}

const Grid& SweepGrid() {
    static const Grid grid = [] {
        Grid g{};
        for (int k = 0; k < kPaddedPoints; ++k) {
            const int i = k < kSweepPoints ? k + 1 : 1;  // the padding repeats the first point
            const double theta = static_cast<double>(i - 1) * kSweepStep;
            g.angle[k] = theta;
            g.cosine[k] = elementary::Cos(theta) * 1.0;
            g.sine[k] = elementary::Sin(theta) * 1.0;
        }
        return g;
    }();
    return grid;
}

SweepOutcome Sweep(const SweepInputs& in) {
    struct Lanes {
        std::optional<RatioExtremes> (*screen)(const Grid&, const SweepInputs&);
        SweepOutcome (*sweep)(const Grid&, const SweepInputs&);
    };
    static const Lanes widest =
        FourLanesAvailable() ? Lanes{ScreenFourLanes, SweepFourLanes} : Lanes{ScreenTwoLanes, SweepTwoLanes};
    const Grid& grid = SweepGrid();
    if (const auto screened = widest.screen(grid, in))
        return {*screened, true};
    return widest.sweep(grid, in);
}

// Asked here, in code built for every x86-64, never in the AVX unit.
#if defined(QUILLET_FOUR_LANES)
bool FourLanesAvailable() { return __builtin_cpu_supports("avx"); }
#else
bool FourLanesAvailable() { return false; }
SweepOutcome SweepFourLanes(const Grid& grid, const SweepInputs& in) { return SweepTwoLanes(grid, in); }
std::optional<RatioExtremes> ScreenFourLanes(const Grid& grid, const SweepInputs& in) {
    return ScreenTwoLanes(grid, in);
}
#endif

}  // namespace quillet::lanes
