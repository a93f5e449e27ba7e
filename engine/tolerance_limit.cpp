#include "engine/tolerance_limit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <vector>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "engine/elementary.h"
#include "engine/exact_extremes.h"
#include "engine/phase_statistics.h"

namespace quillet {
namespace {

// Each figure is the maximum of a function that is harmonic or subharmonic
// in the measured reflection coefficient (the log-modulus of an analytic
// function, the maximum or minimum of such over the EUT phase, the sum of
// squared moduli of analytic terms), and the tolerance region maps
// conformally into the reflection plane: every worst lies on the region's
// boundary. The boundary is walked as one loop, s in [0, 4), one unit per
// edge, sampled on a grid of s and log f; the best sample of each figure is
// then closed in on by golden-section search in s and f in turn.
constexpr int kSamplesPerEdge = 32;
constexpr double kFrequencySamplesPerDecade = 24;
constexpr int kRefinements = 3;
constexpr int kGoldenSteps = 48;

std::complex<double> WithinTolerance(std::complex<double> nominal, double s) {
    const double edge = std::floor(s);
    const double t = s - edge;
    const double m = kMagnitudeTolerance, p = kPhaseToleranceDegrees;
    double factor = 1.0, degrees = 0.0;
    switch (static_cast<int>(edge) % 4) {
    case 0: factor = 1.0 - m + 2 * m * t, degrees = -p; break;
    case 1: factor = 1.0 + m, degrees = -p + 2 * p * t; break;
    case 2: factor = 1.0 + m - 2 * m * t, degrees = p; break;
    default: factor = 1.0 - m, degrees = p - 2 * p * t; break;
    }
    return nominal * PolarDegrees(factor, degrees);
}

// The five figures, each as a value to maximise.
using Scores = std::array<double, 5>;

std::optional<Scores> ScoresAt(double frequencyMHz, double s, std::int16_t anType) {
    const std::complex<double> z = WithinTolerance(NominalImpedance(anType, frequencyMHz), s);
    const auto extremes = ExactExtremes(z, frequencyMHz, anType);
    const auto statistics = DeviationStatistics(z, frequencyMHz, anType);
    if (!extremes || !statistics)
        return std::nullopt;
    return Scores{extremes->highestDb, -extremes->lowestDb, std::fabs(statistics->meanDb),
                  statistics->standardDeviationDb, statistics->rmsDb};
}

// The maximum of f over [a, b], closed in on from a bracket around it.
template <typename F>
double GoldenMaximum(F&& f, double a, double b) {
    const double r = (std::sqrt(5.0) - 1.0) / 2.0;
    double c = b - r * (b - a), d = a + r * (b - a);
    double fc = f(c), fd = f(d);
    for (int i = 0; i < kGoldenSteps; ++i) {
        if (fc >= fd) {
            b = d, d = c, fd = fc;
            c = b - r * (b - a), fc = f(c);
        } else {
            a = c, c = d, fc = fd;
            d = a + r * (b - a), fd = f(d);
        }
    }
    return fc >= fd ? c : d;
}

}  // namespace

namespace {

struct Best {
    double score = -HUGE_VAL, logF = 0, s = 0;
};

// The grid of frequencies (by their natural logarithm; the range's ends are
// its own) and places along the region's edge, sampled, then refined.
class ToleranceSearch {
public:
    ToleranceSearch(double fromMHz, double toMHz, std::int16_t anType)
        : fromMHz_(fromMHz),
          toMHz_(toMHz),
          anType_(anType),
          logFrom_(elementary::Log(fromMHz)),
          logTo_(elementary::Log(toMHz)) {
        const double decades = (logTo_ - logFrom_) / elementary::Log(10.0);
        frequencies_ = toMHz > fromMHz ? 2 + static_cast<int>(decades * kFrequencySamplesPerDecade) : 1;
        logStep_ = frequencies_ > 1 ? (logTo_ - logFrom_) / (frequencies_ - 1) : 0.0;
    }

    double FrequencyAt(double logF) const {
        return logF <= logFrom_ ? fromMHz_ : logF >= logTo_ ? toMHz_ : elementary::Exp(logF);
    }

    // The best sample of each figure; none where a sample is unbounded,
    // with the lowest such frequency.
    std::array<Best, 5> Sample(std::optional<double>& unboundedAtMHz) const {
        std::array<Best, 5> best{};
        for (int i = 0; i < frequencies_; ++i) {
            const double logF = logFrom_ + i * logStep_;
            for (int j = 0; j < 4 * kSamplesPerEdge; ++j) {
                const auto scores = ScoresAt(FrequencyAt(logF), j * kStep, anType_);
                if (!scores) {
                    unboundedAtMHz = std::min(unboundedAtMHz.value_or(HUGE_VAL), FrequencyAt(logF));
                    continue;
                }
                for (std::size_t k = 0; k < best.size(); ++k) {
                    if ((*scores)[k] > best[k].score)
                        best[k] = {(*scores)[k], logF, j * kStep};
                }
            }
        }
        return best;
    }

    // Figure k closed in on from its best sample; an unbounded place found
    // on the way scores HUGE_VAL.
    Best Refine(std::size_t k, Best start) const {
        const auto score = [&](double logF, double s) {
            const auto scores = ScoresAt(FrequencyAt(logF), std::fmod(s + 4.0, 4.0), anType_);
            return scores ? (*scores)[k] : HUGE_VAL;  // unbounded beats everything
        };
        Best refined = start;
        for (int round = 0; round < kRefinements; ++round) {
            refined.s =
                GoldenMaximum([&](double s) { return score(refined.logF, s); }, refined.s - kStep, refined.s + kStep);
            if (frequencies_ > 1)
                refined.logF = GoldenMaximum([&](double l) { return score(l, refined.s); }, refined.logF - logStep_,
                                             refined.logF + logStep_);
        }
        refined.score = score(refined.logF, refined.s);
        return refined;
    }

private:
    static constexpr double kStep = 1.0 / kSamplesPerEdge;
    double fromMHz_, toMHz_;
    std::int16_t anType_;
    double logFrom_, logTo_;
    int frequencies_ = 1;
    double logStep_ = 0;
};

}  // namespace

WorstFigures WorstWithinTolerance(double fromMHz, double toMHz, std::int16_t anType) {
    const ToleranceSearch search(fromMHz, toMHz, anType);
    WorstFigures limit;
    std::array<Best, 5> best = search.Sample(limit.unboundedAtMHz);
    if (limit.unboundedAtMHz)
        return limit;
    for (std::size_t k = 0; k < best.size(); ++k) {
        const Best refined = search.Refine(k, best[k]);
        if (refined.score == HUGE_VAL) {
            limit.unboundedAtMHz = search.FrequencyAt(refined.logF);
            return limit;
        }
        if (refined.score > best[k].score)
            best[k] = refined;
    }
    const auto figure = [&](std::size_t k, double sign) {
        return WorstFigure{sign * best[k].score, search.FrequencyAt(best[k].logF)};
    };
    limit.highest = figure(0, 1.0);
    limit.lowest = figure(1, -1.0);
    limit.largestAbsMean = figure(2, 1.0);
    limit.largestStandardDeviation = figure(3, 1.0);
    limit.largestRms = figure(4, 1.0);
    return limit;
}

}  // namespace quillet
