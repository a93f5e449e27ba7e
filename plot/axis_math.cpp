#include "plot/axis_math.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "engine/elementary.h"

namespace quillet::plot {
namespace {

constexpr double kLn10 = 2.302585092994045684;  // the double nearest ln 10
// Every whole power a double can hold, down to the smallest subnormal.
constexpr int kLowestPower = -323, kHighestPower = 308;
constexpr std::size_t kPowers = kHighestPower - kLowestPower + 1;

// Where 10^n sits in the table.
std::size_t IndexOf(int n) {
    const int index = n - kLowestPower;
    return static_cast<std::size_t>(index);
}

// 10^n, each the double nearest to it: read from its decimal text, which
// every standard library rounds correctly.
const std::array<double, kPowers>& WholePowers() {
    static const auto powers = [] {
        std::array<double, kPowers> table{};
        for (int n = kLowestPower; n <= kHighestPower; ++n) {
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
    if (y == std::floor(y) && y >= kLowestPower && y <= kHighestPower)
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
