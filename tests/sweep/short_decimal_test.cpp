// Numbers that were typed or rounded to a few decimals are written without
// the library's general conversion; every text must still be the library's.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/number_text.h"
#include "sweep/evaluation.h"

namespace quillet {
namespace {

std::string LibraryText(double value, std::chars_format format, int precision) {
    char buffer[40];
    const auto end = precision < 0 ? std::to_chars(buffer, buffer + sizeof buffer, value).ptr
                                   : std::to_chars(buffer, buffer + sizeof buffer, value, format, precision).ptr;
    return std::string(buffer, end);
}

// The library's correctly rounded 15 digits, trailing zeros dropped.
std::pair<std::string, int> LibraryDigits(double magnitude) {
    const std::string text = LibraryText(magnitude, std::chars_format::scientific, 14);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    digits.erase(digits.find_last_not_of('0') + 1);
    return {digits, std::stoi(text.substr(e + 1))};
}

// Decimals of every length and scale, as typed and rounded, their
// neighbours one unit in the last place away (never short), powers of ten
// and their neighbours, random doubles; of both signs.
std::vector<double> Values() {
    std::mt19937_64 random(21);
    std::vector<double> values;
    for (int places = 0; places <= 22; ++places) {
        for (int i = 0; i < 4'000; ++i) {
            const auto whole = static_cast<double>(random() % 1'000'000'000'000'000);
            const double decimal = whole / std::pow(10.0, places);
            values.insert(values.end(), {decimal, std::nextafter(decimal, 0.0), std::nextafter(decimal, 1e300),
                                         RoundHalfEven(decimal / 7, 3), RoundHalfEven(decimal / 3, 2)});
        }
    }
    for (int exponent = -12; exponent <= 25; ++exponent) {
        const double power = std::pow(10.0, exponent);
        values.insert(values.end(), {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300)});
    }
    for (int i = 0; i < 100'000; ++i)
        values.push_back(std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 160) - 100));
    const std::size_t positive = values.size();
    for (std::size_t i = 0; i < positive; i += 3)
        values.push_back(-values[i]);
    return values;
}

TEST(ShortDecimals, AreWrittenAsTheLibraryWritesThem) {
    for (const double v : Values()) {
        if (v == 0)
            continue;
        ASSERT_EQ(sweep::ShortestText(v), LibraryText(v, std::chars_format::general, -1)) << std::hexfloat << v;
        ASSERT_EQ(sweep::SignificantText(v), LibraryText(v, std::chars_format::general, 15)) << std::hexfloat << v;
        const SignificantDigits quick = FifteenDigits(std::fabs(v));
        ASSERT_EQ(std::pair(std::string(quick.Digits()), quick.exponent), LibraryDigits(std::fabs(v)))
            << std::hexfloat << v;
    }
}

}  // namespace
}  // namespace quillet
