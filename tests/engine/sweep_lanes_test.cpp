// The sweep in lanes against the sweep one point at a time, bit for bit.
//
// The reference below is the routine written plainly: one grid point after
// another (on the product's own grid), the four square roots and the ratio
// in their order, an early exit at the first non-finite value. The lane sweeps
// must give the very same deviation, angle and fault verdict on random
// inputs of every AN type, from ordinary ones to those that overflow or
// end in the logarithm of zero.
//
// QUILLET_BIT_PROOF_INPUTS sets how many inputs (1,000,000 unless set; the
// sanitizer test preset sets a smaller count, as each point costs many times
// more there). They are shared between two threads.
#include "engine/sweep_lanes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "engine/an_types.h"
#include "engine/deviation.h"
#include "engine/elementary.h"

namespace quillet {
namespace {

bool Finite(double x) { return std::isfinite(x); }

struct Reference {
    std::optional<Deviation> result;
    std::optional<lanes::SweepInputs> inputs;  // when the sweep itself was reached
    RatioExtremes extremes;
    bool sweepFinite = false;
};

Reference ReferenceSweep(double frequency, double magnitude, double phase, std::int16_t type) {
    Reference out;
    if (type < 1 || type > 4)
        return out;
    double rn = 0, xn = 0;
    if (type != 4) {
        const double x = frequency * kTwoPi * AnType(type).inductanceMicrohenry;
        const double x2 = x * x;
        double d = 0;
        if (type == 1) {
            d = 100.0 * (100.0 * x2) + 9000000.0;
            rn = (62500.0 - 7562500.0) / d;
        } else if (type == 2) {
            d = 6250000.0 + 100.0 * (x2 * 100.0);
            rn = -6250000.0 / d;
        } else {
            d = 100.0 * (100.0 * x2) + 6760000.0;
            rn = (2500.0 - 6502500.0) / d;
        }
        xn = x * 2.0 * 50.0 * 50.0 * 50.0 / d;
        if (!Finite(x) || !Finite(x2) || !Finite(d) || !Finite(rn) || !Finite(xn))
            return out;
    }
    const double z0 = AnType(type).referenceImpedanceOhm;
    const double r = elementary::Cos(phase) * magnitude;
    const double x = elementary::Sin(phase) * magnitude;
    const double s = z0 + r;
    const double e = s * s + x * x;
    const double rm = (x * x + r * r - z0 * z0) / e;
    const double xm = 2.0 * z0 * x / e;
    if (!Finite(r) || !Finite(x) || !Finite(e) || !Finite(rm) || !Finite(xm))
        return out;
    const double aSquared = (rm + 1.0) * (rm + 1.0) + xm * xm;
    const double bSquared = xn * xn + (rn + 1.0) * (rn + 1.0);
    if (!Finite(aSquared) || !Finite(bSquared))
        return out;
    const double a = std::sqrt(aSquared);
    const double b = std::sqrt(bSquared);
    out.inputs = lanes::SweepInputs{rm, xm, rn, xn, a, b};

    // The grid's sines and cosines are the product's own: what is under
    // test is the arithmetic over them.
    const lanes::Grid& grid = lanes::SweepGrid();
    for (int i = 0; i < kSweepPoints; ++i) {
        const double c = grid.cosine[i], sn = grid.sine[i];
        const double g = 1.0 - c * rm + xm * sn;
        const double h = c * xm + rm * sn;
        const double cSquared = h * h + g * g;
        const double m = 1.0 - c * rn + xn * sn;
        const double n = c * xn + rn * sn;
        const double dSquared = n * n + m * m;
        const double ratio = a / std::sqrt(cSquared) * std::sqrt(dSquared) / b;
        if (!(Finite(cSquared) && Finite(dSquared) && Finite(ratio)))
            return out;
        out.extremes.Add(ratio, grid.angle[i]);
    }
    out.sweepFinite = true;
    out.result = ChooseSide(out.extremes);
    return out;
}

// Inputs from the everyday to the extreme: log-uniform frequencies and
// magnitudes over the whole range a double allows, typical ones, the zero
// stand-in, magnitudes at the reference impedance and phases on and next to
// the quarter turns, where ratios tie or a denominator nearly vanishes.
struct Input {
    std::int16_t type;
    double frequency, magnitude, phase;
};

class InputSource {
public:
    explicit InputSource(std::uint64_t seed) : random_(seed) {}

    Input Next() {
        const auto type = static_cast<std::int16_t>(Pick(4) + 1);
        return {type, Frequency(), Magnitude(type), Phase()};
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random_); }
    double Power(double lo, double hi) { return std::pow(10.0, Uniform(lo, hi)); }

    double Frequency() {
        switch (Pick(5)) {
        case 0: return Power(-170, 6);
        case 1: return Power(6, 160);
        case 2: return 1e-6;
        default: return Uniform(0.009, 1000);
        }
    }
    double Magnitude(std::int16_t type) {
        const double z0 = AnType(type).referenceImpedanceOhm;
        switch (Pick(6)) {
        case 0: return Power(-20, 160);
        case 1: return Power(-16, -12);  // around where |1 + Gamma_m| becomes 0
        case 2: return Pick(2) ? z0 : z0 * (1 + Uniform(-1e-9, 1e-9));
        case 3: return 1e-6;
        default: return Uniform(0, 500);
        }
    }
    double Phase() {
        const double quarter = (Pick(9) - 4) * 90.0 * kPi / 180.0;
        switch (Pick(4)) {
        case 0: return quarter;
        case 1: return quarter + Uniform(-1e-6, 1e-6);
        default: return Uniform(-2 * kPi, 2 * kPi);
        }
    }

    std::mt19937_64 random_;
};

bool SameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

bool SameExtremes(const RatioExtremes& x, const RatioExtremes& y) {
    return SameBits(x.maxRatio, y.maxRatio) && SameBits(x.maxAngle, y.maxAngle) && SameBits(x.minRatio, y.minRatio) &&
           SameBits(x.minAngle, y.minAngle);
}

long InputCount() {
    const char* set = std::getenv("QUILLET_BIT_PROOF_INPUTS");
    return set ? std::strtol(set, nullptr, 10) : 1'000'000;
}

std::string Describe(const Input& in) {
    char text[160];
    std::snprintf(text, sizeof text, "type %d f %.17g |Z| %.17g phase %.17g", in.type, in.frequency, in.magnitude,
                  in.phase);
    return text;
}

struct Tally {
    std::atomic<long> results{0}, faultsInSweep{0}, screened{0}, mismatches{0};
    std::string firstMismatch;
};

void Check(const Input& in, bool everyWay, Tally& tally) {
    const Reference ref = ReferenceSweep(in.frequency, in.magnitude, in.phase, in.type);
    const auto widest = SweepDeviation(in.frequency, in.magnitude, in.phase, in.type);
    bool same = widest.has_value() == ref.result.has_value();
    if (same && widest)
        same = SameBits(widest->deviationDb, ref.result->deviationDb) &&
               SameBits(widest->eutPhaseRadians, ref.result->eutPhaseRadians) &&
               SameBits(widest->eutPhaseDegrees, ref.result->eutPhaseDegrees);
    // Every way of sweeping on the same inputs, whichever SweepDeviation took.
    if (ref.inputs && everyWay) {
        const lanes::Grid& grid = lanes::SweepGrid();
        const bool four = lanes::FourLanesAvailable();
        for (const auto sweep : {lanes::SweepTwoLanes, four ? lanes::SweepFourLanes : lanes::SweepTwoLanes}) {
            const lanes::SweepOutcome outcome = sweep(grid, *ref.inputs);
            same = same && outcome.finite == ref.sweepFinite &&
                   (!ref.sweepFinite || SameExtremes(outcome.extremes, ref.extremes));
        }
        for (const auto screen : {lanes::ScreenTwoLanes, four ? lanes::ScreenFourLanes : lanes::ScreenTwoLanes}) {
            const auto screened = screen(grid, *ref.inputs);
            same = same && (!screened || (ref.sweepFinite && SameExtremes(*screened, ref.extremes)));
            if (screened)
                ++tally.screened;
        }
    }
    if (ref.inputs && !ref.sweepFinite)
        ++tally.faultsInSweep;
    if (ref.result)
        ++tally.results;
    if (!same && tally.mismatches++ == 0)
        tally.firstMismatch = Describe(in);
}

// SweepDeviation (the widest lanes, screened or in full) runs on every
// input; both widths, screened and in full, on every eighth.
constexpr long kEveryWayEvery = 8;

TEST(SweepLanes, GiveTheBitsOfTheOnePointSweep) {
    const long count = InputCount();
    ASSERT_GT(count, 0);
    Tally tally;
    auto work = [&](std::uint64_t seed, long n) {
        InputSource source(seed);
        for (long i = 0; i < n; ++i)
            Check(source.Next(), i % kEveryWayEvery == 0, tally);
    };
    std::thread other(work, 2, count / 2);
    work(1, count - count / 2);
    other.join();

    EXPECT_EQ(tally.mismatches, 0) << "first: " << tally.firstMismatch;
    // The inputs reach both verdicts, and faults inside the sweep itself.
    EXPECT_GT(tally.results, count / 2);
    EXPECT_GT(tally.faultsInSweep, count / 1000);
    // Most sweeps take the screened path, in both widths.
    EXPECT_GT(tally.screened, count / kEveryWayEvery);
    std::printf("%ld inputs: %ld results, %ld faults inside the sweep, four lanes %s\n", count, tally.results.load(),
                tally.faultsInSweep.load(), lanes::FourLanesAvailable() ? "run" : "not available");
}

}  // namespace
}  // namespace quillet
