#include "sweep/parallel_evaluation.h"

#include <gtest/gtest.h>

#include <complex>
#include <vector>

namespace quillet::sweep {
namespace {

// Points in a spread that keeps every column busy: clamped magnitudes,
// phases of both signs, a zero frequency and results that are "not valid".
std::vector<measurement::MeasuredPoint> Points(int count) {
    std::vector<measurement::MeasuredPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({i * 0.37, std::polar(1e-15 + (i % 701) * 0.9, (i % 13 - 6) * 0.5)});
    return points;
}

std::string Row(const EvaluatedPoint& p) {
    return p.frequencyText + p.magnitudeText + p.phaseText + p.deviationText + p.eutPhaseText +
           (p.exact ? std::to_string(p.exact->highestDb) + std::to_string(p.exact->lowestDb) : "unbounded") +
           (p.withinTolerance ? "ok" : "out") + (p.inputsClamped ? "*" : "");
}

TEST(ParallelEvaluator, EmitsWhatOneThreadGivesInReadingOrder) {
    // Over several batches and a partial last one, on one thread and on
    // two; each point with the text its evaluating thread made of it.
    const auto points = Points(20'000);
    std::vector<std::string> expected;
    for (const auto& p : points)
        expected.push_back(Row(EvaluatePoint(p, 2)));
    for (unsigned threads : {1u, 2u}) {
        std::vector<std::string> emitted, texts;
        ParallelEvaluator parallel(
            2,
            [&](const EvaluatedPoint& p, const std::string& text) {
                emitted.push_back(Row(p));
                texts.push_back(text);
            },
            Row, threads);
        for (const auto& p : points)
            parallel.Add(p);
        parallel.Finish();
        EXPECT_EQ(emitted, expected) << threads << " thread(s)";
        EXPECT_EQ(texts, expected) << threads << " thread(s)";
    }
}

TEST(ParallelEvaluator, StopsCleanlyWhenReadingFailsHalfway) {
    // The reader throws and the evaluator goes with points still held.
    int emitted = 0;
    {
        ParallelEvaluator parallel(
            1, [&](const EvaluatedPoint&, const std::string&) { ++emitted; }, {}, 2);
        for (const auto& p : Points(10'000))
            parallel.Add(p);
    }
    EXPECT_LT(emitted, 10'000);
}

}  // namespace
}  // namespace quillet::sweep
