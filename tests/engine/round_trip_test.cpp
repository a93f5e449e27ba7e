// Every text NumberText writes must read back through ParseNumber to the
// number the text shows: the double nearest to its 15-digit decimal.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/number_text.h"

namespace quillet {
namespace {

// The number a text shows, found independently of the code under test: the
// nearest double to the value correctly rounded to 15 significant digits.
double ShownValue(double x) {
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14).ptr;
    double shown = 0;
    const auto result = std::from_chars(buffer, end, shown);
    if (result.ec == std::errc::result_out_of_range)
        return std::copysign(std::numeric_limits<double>::max(), x);  // 1.79769313486232E+308
    return shown;
}

void ExpectRoundTrip(double x) {
    const std::string text = NumberText(x);
    const double back = ParseNumber(text);
    const double expected = x == 0 ? 0.0 : ShownValue(x);
    ASSERT_EQ(back, expected) << "x=" << x << " text='" << text << "'";
    ASSERT_EQ(NumberText(back), text) << "x=" << x;
    ASSERT_TRUE(text[0] == ' ' || text[0] == '-') << text;
    ASSERT_NE(text.back(), ' ') << text;
    ASSERT_EQ(text.find(','), std::string::npos) << text;
    if (text != " 0") {
        ASSERT_NE(text[1], '0') << "a leading zero: " << text;
    }
}

std::vector<double> BoundaryValues() {
    std::vector<double> values;
    for (int e = -325; e <= 308; ++e) {
        const double p = ParseNumber("1E" + std::to_string(e));
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e308), 5 * p, 9.999999999999995 * p})
            if (std::isfinite(v))
                values.push_back(v);
    }
    for (double v : {0.01, 0.1, 1.0, 1e14, 1e15, 0.999999999999999, 0.9999999999999995, 0.0099999999999999995,
                     999999999999999.4, 999999999999999.6, std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min()}) {
        for (double near : {v, std::nextafter(v, 0.0), std::nextafter(v, 2 * v)})
            if (std::isfinite(near))
                values.push_back(near);
    }
    return values;
}

TEST(NumberTextRoundTrip, PowersOfTenAndLayoutBoundaries) {
    for (double v : BoundaryValues()) {
        ExpectRoundTrip(v);
        ExpectRoundTrip(-v);
    }
}

TEST(NumberTextRoundTrip, RandomBitPatterns) {
    std::mt19937_64 random(20261208);
    int checked = 0;
    while (checked < 200000) {
        const double x = std::bit_cast<double>(random());
        if (!std::isfinite(x))
            continue;
        ExpectRoundTrip(x);
        ++checked;
    }
}

TEST(NumberTextRoundTrip, RandomValuesInTheRangeOfTheFields) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> field(-500000.0, 500000.0);
    std::uniform_real_distribution<double> decade(-20.0, 7.0);
    for (int i = 0; i < 100000; ++i) {
        ExpectRoundTrip(field(random));
        ExpectRoundTrip(std::pow(10.0, decade(random)));
    }
}

}  // namespace
}  // namespace quillet
