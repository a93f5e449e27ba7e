// Speed of the work behind one press of "Calculate", and of one point of
// an-sweep.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/an_types.h"
#include "engine/deviation.h"
#include "engine/elementary.h"
#include "engine/number_text.h"
#include "engine/phase_statistics.h"
#include "sweep/evaluation.h"

namespace {

// The baseline OneSweep is measured against: the routine transliterated
// line by line, with the sine, the cosine and all four square roots
// inside the loop and a test after every stored value.
std::optional<quillet::Deviation> NaiveSweep(double frequency, double magnitude, double phase, std::int16_t type) {
    using std::isfinite;
    double rn = 0, xn = 0, z0 = 150;
    if (type != 4) {
        z0 = 50;
        const double x = frequency * quillet::kTwoPi * (type == 3 ? 5.0 : 50.0);
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
        if (!isfinite(x) || !isfinite(x2) || !isfinite(d) || !isfinite(rn) || !isfinite(xn))
            return std::nullopt;
    }
    const double r = std::cos(phase) * magnitude;
    const double x = std::sin(phase) * magnitude;
    const double s = z0 + r;
    const double e = s * s + x * x;
    const double rm = (x * x + r * r - z0 * z0) / e;
    const double xm = 2.0 * z0 * x / e;
    if (!isfinite(r) || !isfinite(x) || !isfinite(e) || !isfinite(rm) || !isfinite(xm))
        return std::nullopt;
    quillet::RatioExtremes extremes;
    for (std::int16_t i = 1; i <= quillet::kSweepPoints; ++i) {
        const double theta = (i - 1) * quillet::kSweepStep;
        const double c = std::cos(theta) * 1.0;
        const double sn = std::sin(theta) * 1.0;
        const double a = std::sqrt((rm + 1.0) * (rm + 1.0) + xm * xm);
        const double b = std::sqrt(xn * xn + (rn + 1.0) * (rn + 1.0));
        const double g = 1.0 - c * rm + xm * sn;
        const double h = c * xm + rm * sn;
        const double cc = std::sqrt(h * h + g * g);
        const double m = 1.0 - c * rn + xn * sn;
        const double n = c * xn + rn * sn;
        const double dd = std::sqrt(n * n + m * m);
        const double ratio = a / cc * dd / b;
        if (!isfinite(theta) || !isfinite(c) || !isfinite(sn) || !isfinite(ratio))
            return std::nullopt;
        extremes.Add(ratio, theta);
    }
    return quillet::ChooseSide(extremes);
}

void NaiveLoop(benchmark::State& state) {
    const double phase = 54.85 * quillet::kPi / 180.0;
    double frequency = 0.15;
    for (auto _ : state) {
        benchmark::DoNotOptimize(frequency);
        benchmark::DoNotOptimize(NaiveSweep(frequency, 39.26, phase, 1));
    }
}
BENCHMARK(NaiveLoop);

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
    for (auto _ : state) {
        for (const auto& point : measurement.points)
            benchmark::DoNotOptimize(quillet::sweep::EvaluatePoint(point, 1));
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(SweepToolPerPoint);

// The phase statistics of one point, for ANs near their nominal impedance
// from 9 kHz to 30 MHz, all four types.
void PhaseStatisticsPerPoint(benchmark::State& state) {
    struct Point {
        std::complex<double> z;
        double f;
        std::int16_t type;
    };
    std::vector<Point> points;
    for (int i = 0; i < 400; ++i) {
        const double f = 0.009 * std::pow(30 / 0.009, i / 399.0);
        const auto type = static_cast<std::int16_t>(1 + i % 4);
        points.push_back(
            {quillet::NominalImpedance(type, f) * std::polar(1.0 + 0.1 * std::sin(i), 0.1 * std::cos(i)), f, type});
    }
    for (auto _ : state) {
        for (const Point& p : points)
            benchmark::DoNotOptimize(quillet::DeviationStatistics(p.z, p.f, p.type));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
}
BENCHMARK(PhaseStatisticsPerPoint);

// The engine's sine, cosine and logarithm over the arguments the calculator
// meets: measured phases in radians within a half turn either way, ratios of
// magnitudes within a factor of two. Against their accurate paths alone (the
// functions as they were before they had a quick path) and the C library's.
// 1024 calls an iteration.
constexpr int kCalls = 1024;

std::vector<double> Arguments(bool logarithm) {
    std::vector<double> xs;
    std::uint64_t state = 5;
    for (int i = 0; i < kCalls; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double unit = static_cast<double>(state >> 11) * 0x1p-53;
        xs.push_back(logarithm ? std::exp2(2.0 * unit - 1.0) : (2.0 * unit - 1.0) * quillet::kPi);
    }
    return xs;
}

template <double (*F)(double), bool kLogarithm>
void Calls(benchmark::State& state) {
    const std::vector<double> xs = Arguments(kLogarithm);
    for (auto _ : state) {
        double sum = 0.0;
        for (double x : xs)
            sum += F(x);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kCalls);
}

double LibrarySin(double x) { return std::sin(x); }
double LibraryCos(double x) { return std::cos(x); }
double LibraryLog(double x) { return std::log(x); }

void EngineSin(benchmark::State& s) { Calls<quillet::elementary::Sin, false>(s); }
void EngineCos(benchmark::State& s) { Calls<quillet::elementary::Cos, false>(s); }
void EngineLog(benchmark::State& s) { Calls<quillet::elementary::Log, true>(s); }
void AccurateSin(benchmark::State& s) { Calls<quillet::elementary::accurate::Sin, false>(s); }
void AccurateCos(benchmark::State& s) { Calls<quillet::elementary::accurate::Cos, false>(s); }
void AccurateLog(benchmark::State& s) { Calls<quillet::elementary::accurate::Log, true>(s); }
void CLibrarySin(benchmark::State& s) { Calls<LibrarySin, false>(s); }
void CLibraryCos(benchmark::State& s) { Calls<LibraryCos, false>(s); }
void CLibraryLog(benchmark::State& s) { Calls<LibraryLog, true>(s); }
BENCHMARK(EngineSin);
BENCHMARK(EngineCos);
BENCHMARK(EngineLog);
BENCHMARK(AccurateSin);
BENCHMARK(AccurateCos);
BENCHMARK(AccurateLog);
BENCHMARK(CLibrarySin);
BENCHMARK(CLibraryCos);
BENCHMARK(CLibraryLog);

}  // namespace

BENCHMARK_MAIN();
