#include <gtest/gtest.h>

#include "apps/an-sweep/options.h"

namespace quillet::app {
using sweep::ReportFormat;
namespace {

TEST(ParseOptions, ReadsTheCommandLine) {
    const Options o = ParseOptions({"--type", "3", "--format", "json", "--output", "out.json", "--plot", "p.SVG",
                                    "--impedance-plot", "z.png", "--check", "sweep.s1p"});
    EXPECT_EQ(o.anType, 3);
    EXPECT_EQ(o.format, ReportFormat::Json);
    EXPECT_EQ(o.output, "out.json");
    EXPECT_EQ(o.plot, "p.SVG");
    EXPECT_EQ(o.impedancePlot, "z.png");
    EXPECT_TRUE(o.check);
    EXPECT_EQ(o.input, "sweep.s1p");
    const Options defaults = ParseOptions({"sweep.csv"});
    EXPECT_EQ(defaults.anType, 1);
    EXPECT_EQ(defaults.format, ReportFormat::Table);
    EXPECT_FALSE(defaults.output || defaults.plot || defaults.impedancePlot || defaults.check);
    EXPECT_TRUE(ParseOptions({"--list-types"}).listTypes);
    EXPECT_TRUE(ParseOptions({"--help"}).help);
    EXPECT_TRUE(ParseOptions({"--version"}).version);
    EXPECT_EQ(ParseOptions({"--check", "-"}).input, "-");  // standard input
    const Options budget = ParseOptions({"--bands", "1e-2-0.15,0.15-30", "--budget", "b.csv", "a.s1p"});
    ASSERT_EQ(budget.bands.size(), 2u);
    EXPECT_EQ(budget.bands[0].fromMHz, 0.01);
    EXPECT_EQ(budget.bands[1].toMHz, 30);
    EXPECT_EQ(budget.budget, "b.csv");
    ASSERT_EQ(defaults.bands.size(), 2u);  // 9 kHz to 150 kHz, 150 kHz to 30 MHz
    EXPECT_EQ(defaults.bands[0].fromMHz, 0.009);
    EXPECT_EQ(defaults.bands[1].fromMHz, 0.15);
    EXPECT_EQ(defaults.bands[1].toMHz, 30);
    EXPECT_FALSE(defaults.rule.uncertainty);  // simple acceptance
    const auto guarded = ParseOptions({"--uncertainty", "1.5,0", "a.s1p"}).rule.uncertainty;
    ASSERT_TRUE(guarded);
    EXPECT_EQ(guarded->magnitudePercent, 1.5);
    EXPECT_EQ(guarded->phaseDegrees, 0);
    EXPECT_EQ(guarded->coverageFactor, 2);
    EXPECT_EQ(ParseOptions({"--uncertainty=2e-1,3", "--coverage", "1.96", "a.s1p"}).rule.uncertainty->coverageFactor,
              1.96);
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
        {"--impedance-plot", "z.csv", "a.s1p"},
        {"--impedance-plot", ".png", "a.s1p"},
        {"--impedance-plot"},
        {"--verbose", "a.s1p"},
        {"a.s1p", "b.s1p"},
        {"--output"},
        {"--bands", "30-0.15", "a.s1p"},
        {"--bands", "0-1", "a.s1p"},
        {"--bands", "1-2,", "a.s1p"},
        {"--bands", "-1-2", "a.s1p"},
        {"--bands", "1,2", "a.s1p"},
        {"--bands", "1-2x", "a.s1p"},
        {"--bands", "1-inf", "a.s1p"},
        {"--budget"},
        {"--uncertainty=-1,2", "a.s1p"},
        {"--uncertainty", "1,-2", "a.s1p"},
        {"--uncertainty", "1", "a.s1p"},
        {"--uncertainty", "1,", "a.s1p"},
        {"--uncertainty", ",1", "a.s1p"},
        {"--uncertainty", "1,2,3", "a.s1p"},
        {"--uncertainty", "nan,1", "a.s1p"},
        {"--uncertainty", "1,inf", "a.s1p"},
        {"--uncertainty", "1e999,1", "a.s1p"},
        {"--uncertainty", "1x,2", "a.s1p"},
        {"--uncertainty", "+1,2", "a.s1p"},
        {"--uncertainty", "1;2", "a.s1p"},
        {"--coverage", "2", "a.s1p"},  // without --uncertainty
        {"--uncertainty", "1,2", "--coverage", "0", "a.s1p"},
        {"--uncertainty", "1,2", "--coverage=-2", "a.s1p"},
        {"--uncertainty", "1,2", "--coverage", "k2", "a.s1p"},
        {"--uncertainty", "1,2", "--coverage", "inf", "a.s1p"},
    };
    for (const auto& arguments : bad)
        EXPECT_THROW(ParseOptions(arguments), UsageError) << ::testing::PrintToString(arguments);
}

}  // namespace
}  // namespace quillet::app
