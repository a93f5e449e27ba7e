// Speed of the work behind one press of "Calculate", and of one point of
// an-sweep.
#include <benchmark/benchmark.h>

#include <complex>
#include <string>

#include "engine/deviation.h"
#include "engine/number_text.h"
#include "sweep/evaluation.h"

namespace {

void OneSweep(benchmark::State& state) {
    const double phase = 54.85 * quillet::kPi / 180.0;
    double frequency = 0.15;
    for (auto _ : state) {
        benchmark::DoNotOptimize(frequency);
        benchmark::DoNotOptimize(quillet::SweepDeviation(frequency, 39.26, phase, 1));
    }
}
BENCHMARK(OneSweep);

void ParseBoxText(benchmark::State& state) {
    std::string text = " 39.26";
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(quillet::ParseNumber(text));
    }
}
BENCHMARK(ParseBoxText);

void WriteResultText(benchmark::State& state) {
    double value = 268.14;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(quillet::NumberText(value));
    }
}
BENCHMARK(WriteResultText);

// One point of an-sweep: the calculator's handlers, the exact extremes and
// the tolerance check.
void SweepToolPerPoint(benchmark::State& state) {
    quillet::measurement::Measurement measurement;
    for (int i = 0; i < 100; ++i)
        measurement.points.push_back({0.15 + i * 0.3, std::polar(39.26 + i * 0.1, 0.9573)});
    for (auto _ : state)
        benchmark::DoNotOptimize(quillet::sweep::Evaluate(measurement, 1));
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(SweepToolPerPoint);

}  // namespace

BENCHMARK_MAIN();
