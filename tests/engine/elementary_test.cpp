#include "engine/elementary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace quillet::elementary {
namespace {

using Function = double (*)(double);

struct Case {
    const char* name;
    Function function;
    double x;
    double expected;
};

TEST(Elementary, GivesTheExactValuesAndTheLimits) {
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"sin 0", Sin, 0.0, 0.0},
        {"cos 0", Cos, 0.0, 1.0},
        {"sin tiny", Sin, 1e-300, 1e-300},
        {"cos tiny", Cos, -1e-10, 1.0},
        {"log 1", Log, 1.0, 0.0},
        {"log 0", Log, 0.0, -inf},
        {"log inf", Log, inf, inf},
        {"log of the largest", Log, 0x1.fffffffffffffp+1023, 0x1.62e42fefa39efp+9},
        {"log of the smallest subnormal", Log, 0x1p-1074, -0x1.74385446d71c3p+9},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.function(c.x), c.expected) << c.name;
    EXPECT_TRUE(std::signbit(Sin(-0.0)));
    EXPECT_TRUE(std::isnan(Log(-1.0)));
    EXPECT_TRUE(std::isnan(Sin(inf)));
    EXPECT_TRUE(std::isnan(Cos(std::numeric_limits<double>::quiet_NaN())));
}

// Arguments whose result one C library or another rounds the other way;
// the expected bits are the correctly rounded ones (checked to 300 bits).
TEST(Elementary, RoundsCorrectlyWhereLibrariesDisagree) {
    const Case cases[] = {
        {"sin", Sin, -0x1.88dcf33228852p+2, 0x1.274fcb95110d1p-3},
        {"sin", Sin, 0x1.4f6d44be1b76ep+2, -0x1.ba1ad9fb25435p-1},
        {"sin", Sin, -0x1.87d4b99aae185p+2, 0x1.47f4700e212bbp-3},
        {"cos", Cos, -0x1.afda780608ff8p+0, -0x1.da9aa531f5cb5p-4},
        {"cos", Cos, -0x1.fad1e57e70558p+0, -0x1.97351a541ba5fp-2},
        {"cos of the sweep angle 1.31", Cos, 0x1.4f5c28f5c28f6p+0, 0x1.0809d6c4005c5p-2},
        {"log", Log, 0x1.7c349d364a81ep+0, 0x1.9506ffeda175ep-2},
        {"log", Log, 0x1.69bbcffbb72bcp+235, 0x1.46787b9e4e58dp+7},
        {"log", Log, 0x1.57df8b1e3784fp+72, 0x1.919d110100febp+5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.function(c.x), c.expected) << c.name << " " << c.x;
}

#if !defined(_WIN32)
// Against the 64-bit long double functions, wherever their result is not so
// near a halfway point between two doubles that its own error could decide.
TEST(Elementary, AgreesWithExtendedPrecision) {
    if (std::numeric_limits<long double>::digits < 64)
        GTEST_SKIP() << "long double has no more precision than double here";
    struct Pair {
        const char* name;
        Function function;
        long double (*reference)(long double);
    };
    const Pair pairs[] = {{"sin", Sin, sinl}, {"cos", Cos, cosl}, {"log", Log, logl}};
    std::uint64_t state = 1;
    for (int i = 0; i < 200000; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double unit = static_cast<double>(state >> 11) * 0x1p-53;
        for (const Pair& pair : pairs) {
            const double x =
                pair.function == Log ? std::ldexp(0.5 + unit, static_cast<int>(state % 200) - 100) : 14.0 * unit - 7.0;
            const long double exact = pair.reference(x);
            const auto rounded = static_cast<double>(exact);
            const long double other =
                exact > rounded ? std::nextafter(rounded, 1e300) : std::nextafter(rounded, -1e300);
            const long double halfway = (static_cast<long double>(rounded) + other) / 2;
            if (std::fabs(exact - halfway) < std::fabs(exact) * 0x1p-60L)
                continue;
            ASSERT_EQ(pair.function(x), rounded) << pair.name << " " << x;
        }
    }
}
#endif

// The functions that are not proven correctly rounded, against the C
// library's within a few units in the last place, and at their edges.
TEST(Elementary, PortableFunctionsAreCloseToTheLibrarys) {
#if !defined(_WIN32)  // the comparison needs a C library known to be accurate
    const auto ulps = [](double a, double b) {
        return a == b ? 0.0 : std::fabs(a - b) / std::fabs(std::nextafter(b, 0.0) - b);
    };
    std::uint64_t state = 11;
    for (int i = 0; i < 100000; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const double u = static_cast<double>(state >> 11) * 0x1p-53;
        const double db = -700.0 + 1400.0 * u;
        ASSERT_LE(ulps(DecibelsToAmplitude(db), static_cast<double>(std::pow(10.0L, db / 20.0L))), 1.0) << db;
        const double x = std::ldexp(u - 0.5, static_cast<int>(state % 64) - 32);
        const double y = std::ldexp(0.5 - std::fmod(u * 7.0, 1.0), static_cast<int>((state >> 8) % 64) - 32);
        ASSERT_LE(ulps(Atan2(y, x), std::atan2(y, x)), 4.0) << y << " " << x;
        ASSERT_LE(ulps(Hypot(x, y), std::hypot(x, y)), 1.0) << x << " " << y;
    }
#endif
    EXPECT_EQ(DecibelsToAmplitude(0.0), 1.0);
    EXPECT_EQ(DecibelsToAmplitude(20.0), 10.0);
    EXPECT_EQ(DecibelsToAmplitude(1e6), HUGE_VAL);
    EXPECT_EQ(DecibelsToAmplitude(-1e6), 0.0);
    EXPECT_EQ(Hypot(3e300, 4e300), 5e300);
    EXPECT_EQ(Hypot(3e-310, 4e-310), 5e-310);
    EXPECT_EQ(Hypot(-HUGE_VAL, NAN), HUGE_VAL);
    for (const auto& [y, x] : {std::pair{0.0, -1.0},
                               {-0.0, -1.0},
                               {1.0, 0.0},
                               {-1.0, -0.0},
                               {1.0, -HUGE_VAL},
                               {HUGE_VAL, HUGE_VAL},
                               {-HUGE_VAL, -HUGE_VAL},
                               {0.0, 0.0},
                               {1e-300, 1e300}})
        EXPECT_EQ(Atan2(y, x), std::atan2(y, x)) << y << " " << x;
}

}  // namespace
}  // namespace quillet::elementary
