// The conversions write and read the point whatever the process locale says.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>

#include "engine/deviation.h"
#include "engine/number_text.h"

namespace quillet {
namespace {

constexpr const char* kCommaLocale = "de_DE.UTF-8";

class DecimalCommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, kCommaLocale) == nullptr) {
            // The README's test command installs the locale and asks for it.
            if (std::getenv("QUILLET_REQUIRE_COMMA_LOCALE") != nullptr)
                FAIL() << kCommaLocale << " is not installed";
            GTEST_SKIP() << kCommaLocale << " is not installed";
        }
        try {
            std::locale::global(std::locale(kCommaLocale));
        } catch (const std::runtime_error&) {
            FAIL() << "the C++ library does not know " << kCommaLocale;
        }
    }
    void TearDown() override {
        std::locale::global(std::locale::classic());
        std::setlocale(LC_ALL, "C");
    }
};

TEST_F(DecimalCommaLocale, ConversionsKeepThePoint) {
    // The locale really is in force: the C library now writes a comma.
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.2f", 1.5);
    ASSERT_EQ(std::string(buffer), "1,50");

    EXPECT_EQ(NumberText(0.15), " .15");
    EXPECT_EQ(NumberText(39.26), " 39.26");
    EXPECT_EQ(NumberText(-1234.5), "-1234.5");
    EXPECT_EQ(NumberText(1.5e20), " 1.5E+20");
    EXPECT_EQ(NumberText(0.00123), " 1.23E-03");
    EXPECT_EQ(ParseNumber("0.15"), 0.15);
    EXPECT_EQ(ParseNumber(" 39.26"), 39.26);
    EXPECT_EQ(ParseNumber("0,15"), 0.0);
    EXPECT_EQ(ParseNumber("2.5E-1"), 0.25);
    EXPECT_EQ(ResultText(3.6149), " 3.61");

    const auto result = SweepDeviation(0.15, 39.26, 54.85 * kPi / 180.0, 1);
    ASSERT_TRUE(result);
    EXPECT_EQ(ResultText(result->deviationDb), " 3.61");
    EXPECT_EQ(ResultText(result->eutPhaseDegrees), " 268.14");
}

}  // namespace
}  // namespace quillet
