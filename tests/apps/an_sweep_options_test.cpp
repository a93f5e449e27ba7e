#include <gtest/gtest.h>

#include "apps/an-sweep/options.h"

namespace quillet::app {
using sweep::ReportFormat;
namespace {

TEST(ParseOptions, ReadsTheCommandLine) {
    const Options o = ParseOptions(
        {"--type", "3", "--format", "json", "--output", "out.json", "--plot", "p.SVG", "--check", "sweep.s1p"});
    EXPECT_EQ(o.anType, 3);
    EXPECT_EQ(o.format, ReportFormat::Json);
    EXPECT_EQ(o.output, "out.json");
    EXPECT_EQ(o.plot, "p.SVG");
    EXPECT_TRUE(o.check);
    EXPECT_EQ(o.input, "sweep.s1p");
    const Options defaults = ParseOptions({"sweep.csv"});
    EXPECT_EQ(defaults.anType, 1);
    EXPECT_EQ(defaults.format, ReportFormat::Table);
    EXPECT_FALSE(defaults.output || defaults.plot || defaults.check);
    EXPECT_TRUE(ParseOptions({"--list-types"}).listTypes);
    EXPECT_TRUE(ParseOptions({"--help"}).help);
    EXPECT_TRUE(ParseOptions({"--version"}).version);
    EXPECT_EQ(ParseOptions({"--check", "-"}).input, "-");  // standard input
}

TEST(ParseOptions, RejectsWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--type", "5", "a.s1p"},
        {"--type", "0", "a.s1p"},
        {"--type", "12", "a.s1p"},
        {"--type"},
        {"--format", "xml", "a.s1p"},
        {"--plot", "p.pdf", "a.s1p"},
        {"--plot", ".svg", "a.s1p"},
        {"--verbose", "a.s1p"},
        {"a.s1p", "b.s1p"},
        {"--output"},
    };
    for (const auto& arguments : bad)
        EXPECT_THROW(ParseOptions(arguments), UsageError) << ::testing::PrintToString(arguments);
}

}  // namespace
}  // namespace quillet::app
