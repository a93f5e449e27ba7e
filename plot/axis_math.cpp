#include "plot/axis_math.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "engine/elementary.h"

namespace quillet::plot {
namespace {

constexpr double kLn10 = 2.302585092994045684;  // the double nearest ln 10
constexpr int kWholePowers = 300;

// Where 10^n sits in the table.
std::size_t IndexOf(int n) {
    const int index = n + kWholePowers;
    return static_cast<std::size_t>(index);
}

// 10^n for |n| <= kWholePowers, each the double nearest to it: read from its
// decimal text, which every standard library rounds correctly.
const std::array<double, 2 * kWholePowers + 1>& WholePowers() {
    static const auto powers = [] {
        std::array<double, 2 * kWholePowers + 1> table{};
        for (int n = -kWholePowers; n <= kWholePowers; ++n) {
            const std::string text = "1e" + std::to_string(n);
            std::from_chars(text.data(), text.data() + text.size(), table[IndexOf(n)]);
        }
        return table;
    }();
    return powers;
}

}  // namespace

double Log10(double x) { return elementary::Log(x) / kLn10; }

double Pow10(double y) {
    if (y == std::floor(y) && std::fabs(y) <= kWholePowers)
        return WholePowers()[IndexOf(static_cast<int>(y))];
    return elementary::Exp(y * kLn10);
}

int DecadeOf(double x) {
    int n = static_cast<int>(std::floor(Log10(x)));
    while (Pow10(n + 1) <= x)
        ++n;
    while (Pow10(n) > x)
        --n;
    return n;
}

}  // namespace quillet::plot
