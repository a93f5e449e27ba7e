// Prints the calculator's results for the reference inputs and for a stream
// of random inputs, one line each: the texts the window shows and the exact
// bits behind them. Two builds (Linux and Windows) agree when their outputs
// are the same bytes; tests/cross_build/compare_digits.sh compares them.
//
//   print_digits [RANDOM_COUNT]   (default 100000)

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/deviation.h"
#include "window/shown_point.h"

namespace {

using quillet::kPi;

// The generator is written out so both builds draw the same inputs.
struct SplitMix64 {
    std::uint64_t state;
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }  // [0, 1)
};

std::string Hex(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char text[17];
    for (int i = 15; i >= 0; --i, bits >>= 4)
        text[i] = "0123456789abcdef"[bits & 0xF];
    text[16] = '\0';
    return text;
}

// As the Calculate command hands the box values over.
void PrintRow(std::int16_t type, double frequency, double magnitude, double degrees) {
    const auto result = quillet::SweepDeviation(quillet::WithZeroStandIn(frequency),
                                                quillet::WithZeroStandIn(magnitude), degrees * kPi / 180.0, type);
    std::string line = std::to_string(type) + ' ' + Hex(frequency) + ' ' + Hex(magnitude) + ' ' + Hex(degrees) + " |";
    if (result) {
        line += quillet::ResultText(result->deviationDb) + '|' + quillet::ResultText(result->eutPhaseDegrees) + "| " +
                Hex(result->deviationDb) + ' ' + Hex(result->eutPhaseRadians);
    } else {
        line += "not valid|";
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
    const long count = argc > 1 ? std::stol(argv[1]) : 100000;
    struct Reference {
        std::int16_t type;
        double frequency, magnitude, degrees;
    };
    const Reference table[] = {
        {1, 0.15, 39.26, 54.85},
        {2, 0.15, 39.26, 54.85},
        {3, 0.15, 39.26, 54.85},
        {4, 0.15, 39.26, 54.85},
        {4, 1, 150, 0},
        {4, 1, 100, 0},
        {4, 1, 300, 0},
        {2, 30, 50, 0},
        {1, 0, 0, 0},
        {2, 0, 0, 0},
        {3, 0, 0, 0},
        {4, 0, 0, 0},
        {2, 0, 39.26, 54.85},
        {1, 30, 50, 0},
        {3, 30, 50, 0},
        {1, 0.15, 50, 0},
        {1, 0.15, 50, 180},
        {1, 0.15, 39.26, -54.85},
        {1, 0.15, 39.26, 0},
        {1, 0.15, 39.26, 360},
        {4, 30, 150, 90},
    };
    for (const Reference& row : table)
        PrintRow(row.type, row.frequency, row.magnitude, row.degrees);

    // Over the range the boxes allow: frequency about 1 kHz to 500 GHz on a
    // logarithmic scale (drawn without pow, which the platforms round
    // differently), magnitude up to 500 ohm, phase -360 to 360 deg.
    SplitMix64 random{20240611};
    for (long i = 0; i < count; ++i) {
        const auto type = static_cast<std::int16_t>(1 + random.Next() % 4);
        const double frequency = std::ldexp(1.0 + random.Unit(), static_cast<int>(random.Next() % 29) - 10);
        const double magnitude = 500.0 * random.Unit();
        const double degrees = 720.0 * random.Unit() - 360.0;
        PrintRow(type, frequency, magnitude, degrees);
    }
    return 0;
}
