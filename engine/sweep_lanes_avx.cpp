// Four lanes of AVX. This unit alone is built with -mavx, where
// engine/CMakeLists.txt defines QUILLET_FOUR_LANES, and runs only after
// FourLanesAvailable() said yes; nothing in it is shared with other units.
#include "engine/sweep_lanes.h"

#if defined(QUILLET_FOUR_LANES)
#if !defined(__AVX__)
#error "sweep_lanes_avx.cpp needs -mavx"
#endif
#include <immintrin.h>

#include "engine/sweep_lanes_body.h"

namespace quillet::lanes {
namespace {

struct Avx {
    using V = __m256d;
    static constexpr int kLanes = 4;
    static V Load(const double* p) { return _mm256_load_pd(p); }
    static V Splat(double x) { return _mm256_set1_pd(x); }
    static V Sqrt(V x) { return _mm256_sqrt_pd(x); }
    static V Greater(V x, V y) { return _mm256_cmp_pd(x, y, _CMP_GT_OQ); }
    static V Less(V x, V y) { return _mm256_cmp_pd(x, y, _CMP_LT_OQ); }
    static V AtLeast(V x, V y) { return _mm256_cmp_pd(x, y, _CMP_GE_OQ); }
    static V AtMost(V x, V y) { return _mm256_cmp_pd(x, y, _CMP_LE_OQ); }
    static V And(V x, V y) { return _mm256_and_pd(x, y); }
    static V Or(V x, V y) { return _mm256_or_pd(x, y); }
    static V Select(V mask, V x, V y) { return _mm256_blendv_pd(y, x, mask); }
    static V Max(V x, V y) { return _mm256_max_pd(x, y); }
    static V Min(V x, V y) { return _mm256_min_pd(x, y); }
    static int Mask(V x) { return _mm256_movemask_pd(x); }
    static void Store(double* p, V x) { _mm256_storeu_pd(p, x); }
};

}  // namespace

SweepOutcome SweepFourLanes(const Grid& grid, const SweepInputs& in) { return SweepInLanes<Avx>(grid, in); }
std::optional<RatioExtremes> ScreenFourLanes(const Grid& grid, const SweepInputs& in) {
    return ScreenInLanes<Avx>(grid, in);
}

}  // namespace quillet::lanes
#endif
