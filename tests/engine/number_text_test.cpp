#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace quillet {
namespace {

struct ParseCase {
    const char* text;
    double value;
};

TEST(ParseNumber, ReadsTheNumberAtTheStartOfAText) {
    const ParseCase cases[] = {
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {".", 0},
        {"0,15", 0},
        {" 1. 5", 1.5},
        {" 0. 1 5", 0.15},
        {"1 000", 1000},
        {"0 .15", 0.15},
        {"0.15", 0.15},
        {" .15", 0.15},
        {"-.5", -0.5},
        {"+3", 3},
        {"- 5", -5},
        {" 5-", 5},
        {"--5", 0},
        {"1.2.3", 1.2},
        {"12abc", 12},
        {"1E3", 1000},
        {"1e3", 1000},
        {"1D3", 1000},
        {"1d3", 1000},
        {"2.5E-1", 0.25},
        {"1E", 1},
        {"1E+", 1},
        {"1E-x", 1},
        {"E5", 0},
        {" 1.23456789012346E-02", 0.0123456789012346},
        {"&H1F", 31},
        {"&hff", 255},
        {"&HFFFF", -1},
        {"&H8000", -32768},
        {"&H10000", 65536},
        {"&H80000000", -2147483648.0},
        {"&HFFFFFFFF", -1},
        {"&O17", 15},
        {"&o177777", -1},
        {"&O8", 0},
        {"&H", 0},
        {"&H1.5", 1},
        {"&H 1 F", 31},
        {"\t1\n2 ", 12},
        {"5.", 5},
        {"12.75", 12.75},
        {"1E3.5", 1000},
        {"1e-3", 0.001},
        {"00012.5000", 12.5},
        {"0.000000000000001", 1e-15},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseNumber, GivesSaneValuesWhereAnyReadingWouldDo) {
    const double largest = std::numeric_limits<double>::max();
    const ParseCase cases[] = {
        {"1E309", largest},
        {"-1E309", -largest},
        {"1E99999999999999999999999", largest},
        {"1.79769313486232E+308", largest},  // the text NumberText gives the largest double
        {"1E-400", 0},
        {"1E-99999999999999999999999", 0},
        {"&H100000000", 0},  // above 32 bits
        {"&HFFFFFFFFFFFFFFFFFFFF", 0},
        {"-&H10", 0},
        {"&X12", 0},
        {"&", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::signbit(ParseNumber("-1E-400")));
    EXPECT_EQ(ParseNumber("4.94065645841247E-324"), std::numeric_limits<double>::denorm_min());
    // A very long mantissa is read to the nearest double, not truncated.
    EXPECT_EQ(ParseNumber("0." + std::string(5000, '0') + "1E5001"), 1.0);
    EXPECT_EQ(ParseNumber(std::string(400, '9') + "E-400"), 1.0);
}

struct TextCase {
    double number;
    const char* text;
};

TEST(NumberText, WritesTheSignSpaceForm) {
    const TextCase cases[] = {
        {0, " 0"},
        {-0.0, " 0"},
        {5, " 5"},
        {500, " 500"},
        {500000, " 500000"},
        {360, " 360"},
        {-360, "-360"},
        {0.15, " .15"},
        {-0.5, "-.5"},
        {-0.02, "-.02"},
        {39.26, " 39.26"},
        {3.61, " 3.61"},
        {268.14, " 268.14"},
        {0.1 + 0.2, " .3"},
        {2.0 / 3.0, " .666666666666667"},
        {3.14159265358979323846, " 3.14159265358979"},
        {99999.99999999999, " 100000"},
        {1e15, " 1E+15"},
        {1.5e20, " 1.5E+20"},
        {-1e100, "-1E+100"},
        {999999999999999.0, " 999999999999999"},
        {999999999999999.5, " 1E+15"},
        {0.01, " .01"},
        {0.009999999999999999, " .01"},  // rounds up into the point-first layout
        {0.009, " 9E-03"},
        {-0.001, "-1E-03"},
        {1e-15, " 1E-15"},
        {1.23456789012346e-5, " 1.23456789012346E-05"},
        {1e-100, " 1E-100"},
        {std::numeric_limits<double>::max(), " 1.79769313486232E+308"},
        {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-324"},
        {0.999999999999999, " .999999999999999"},
        {0.9999999999999999, " 1"},
        {12, " 12"},
        {100, " 100"},
        {1.5, " 1.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberText(c.number), c.text) << c.number;
}

TEST(NumberText, WholeNumbersReadTheSameAsTheEqualDouble) {
    const std::int32_t values[] = {0, 1, 9, -1, 360, -360, 500, 500000, 32767, -32768, 2147483647, -2147483647 - 1};
    for (std::int32_t v : values) {
        EXPECT_EQ(NumberText(v), NumberText(static_cast<double>(v))) << v;
        if (v >= INT16_MIN && v <= INT16_MAX) {
            EXPECT_EQ(NumberText(static_cast<std::int16_t>(v)), NumberText(static_cast<double>(v))) << v;
        }
    }
}

struct RoundCase {
    double number;
    double rounded;
    const char* shown;
};

TEST(RoundHalfEven, RoundsTheDoubleProductHalfToEven) {
    const RoundCase cases[] = {
        {0.125, 0.12, " .12"},
        {0.375, 0.38, " .38"},
        {-0.125, -0.12, "-.12"},
        {0.005, 0, " 0"},
        {-0.004, -0.0, " 0"},
        {0.045, 0.04, " .04"},
        {2.665, 2.66, " 2.66"},
        {2.675, 2.68, " 2.68"},
        {1.005, 1, " 1"},
        {0.285, 0.28, " .28"},
        {57.29577951308232, 57.3, " 57.3"},
        {-2.675, -2.68, "-2.68"},
        {-0.015, -0.02, "-.02"},
        {2.5, 2.5, " 2.5"},
        {3, 3, " 3"},
    };
    for (const auto& c : cases) {
        const double r = RoundHalfEven(c.number, 2);
        EXPECT_EQ(r, c.rounded) << c.number;
        EXPECT_EQ(NumberText(r), c.shown) << c.number;
    }
    EXPECT_TRUE(std::signbit(RoundHalfEven(-0.004, 2)));
    EXPECT_EQ(RoundHalfEven(2.5, 0), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5, 0), 4.0);
    EXPECT_EQ(RoundHalfEven(-0.5, 0), -0.0);
    // A product beyond the double range leaves the number as it was.
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::max(), 2), std::numeric_limits<double>::max());
}

}  // namespace
}  // namespace quillet
