// The worst AN within the tolerance against a dense search over the whole
// tolerance region, inside as well as on its edges.
#include "engine/tolerance_limit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/an_types.h"
#include "engine/exact_extremes.h"
#include "engine/phase_statistics.h"

namespace quillet {
namespace {

struct Range {
    double from, to;
    std::int16_t type;
};

TEST(WorstWithinTolerance, NothingWithinTheRegionIsWorse) {
    for (const Range& r : {Range{0.15, 30, 1}, Range{0.009, 0.15, 1}, Range{0.15, 30, 2}, Range{0.009, 30, 3},
                           Range{0.15, 30, 4}, Range{2, 2, 3}}) {
        const WorstFigures limit = WorstWithinTolerance(r.from, r.to, r.type);
        ASSERT_TRUE(limit.highest && limit.lowest && limit.largestAbsMean && limit.largestStandardDeviation &&
                    limit.largestRms)
            << r.type;
        for (const WorstFigure* w : {&*limit.highest, &*limit.lowest, &*limit.largestRms})
            EXPECT_TRUE(w->atMHz >= r.from && w->atMHz <= r.to) << w->atMHz;
        for (int i = 0; i <= 16; ++i) {
            const double f = r.from * std::pow(r.to / r.from, i / 16.0);
            for (int a = 0; a <= 40; ++a) {
                for (int b = 0; b <= 40; ++b) {
                    const double factor = 1 - kMagnitudeTolerance + 2 * kMagnitudeTolerance * a / 40;
                    const double degrees = -kPhaseToleranceDegrees + 2 * kPhaseToleranceDegrees * b / 40;
                    const auto z = NominalImpedance(r.type, f) * std::polar(factor, degrees * std::numbers::pi / 180);
                    const auto e = ExactExtremes(z, f, r.type);
                    const auto s = DeviationStatistics(z, f, r.type);
                    ASSERT_TRUE(e && s);
                    const auto where = ::testing::Message() << "type " << r.type << " at " << f << " MHz, " << z;
                    EXPECT_LE(e->highestDb, limit.highest->db + 1e-9) << where;
                    EXPECT_GE(e->lowestDb, limit.lowest->db - 1e-9) << where;
                    EXPECT_LE(std::fabs(s->meanDb), limit.largestAbsMean->db + 1e-9) << where;
                    EXPECT_LE(s->standardDeviationDb, limit.largestStandardDeviation->db + 1e-9) << where;
                    EXPECT_LE(s->rmsDb, limit.largestRms->db + 1e-9) << where;
                    if (::testing::Test::HasFailure())
                        return;
                }
            }
        }
    }
}

TEST(WorstWithinTolerance, CoversTheStartUpPointAtACornerOfTheRegion) {
    const auto z = std::polar(39.26, 54.85 * std::numbers::pi / 180);
    const auto own = DeviationStatistics(z, 0.15, 1);
    const auto exact = ExactExtremes(z, 0.15, 1);
    const WorstFigures limit = WorstWithinTolerance(0.15, 0.15, 1);
    ASSERT_TRUE(own && exact && limit.highest);
    EXPECT_GE(limit.highest->db, exact->highestDb);
    EXPECT_LE(limit.lowest->db, exact->lowestDb);
    EXPECT_GE(limit.largestAbsMean->db, std::fabs(own->meanDb));
    EXPECT_GE(limit.largestStandardDeviation->db, own->standardDeviationDb);
    EXPECT_GE(limit.largestRms->db, own->rmsDb);
}

TEST(WorstWithinTolerance, IsUnboundedWhereTheRegionReachesAnImaginaryImpedance) {
    // Type 2's nominal phase exceeds 90 - 11.5 deg below about 32 kHz.
    const WorstFigures low = WorstWithinTolerance(0.009, 0.15, 2);
    EXPECT_FALSE(low.highest || low.largestRms);
    ASSERT_TRUE(low.unboundedAtMHz);
    EXPECT_NEAR(*low.unboundedAtMHz, 0.009, 1e-12);
    EXPECT_TRUE(WorstWithinTolerance(0.04, 0.15, 2).highest);
}

}  // namespace
}  // namespace quillet
