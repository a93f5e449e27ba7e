// Speed of the work behind one press of "Calculate".
#include <benchmark/benchmark.h>

#include <string>

#include "deviation.h"
#include "number_text.h"

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

}  // namespace

BENCHMARK_MAIN();
