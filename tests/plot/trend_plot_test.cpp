#include "plot/trend_plot.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet::plot {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(TrendPlot, DayNumbersOfCalendarDaysOnly) {
    struct Case {
        const char* text;
        std::optional<long long> day;
    };
    for (const Case c :
         {Case{"1970-01-01", 0}, Case{"2024-02-29", 19782}, Case{"2000-03-01", 11017}, Case{"2023-02-29", std::nullopt},
          Case{"2026-13-01", std::nullopt}, Case{"2026-1-01", std::nullopt}, Case{"2026-01-01x", std::nullopt},
          Case{"+026-01-01", std::nullopt}, Case{"", std::nullopt}}) {
        EXPECT_EQ(DayNumber(c.text), c.day) << c.text;
    }
}

TEST(TrendPlot, MarksEveryVerificationAndLeavesWithdrawnOnesOutOfTheTrend) {
    TrendPlot plot("history", {"0.15 to 30 MHz"}, "Worst margin");
    // Added out of order: the line runs by date.
    plot.Add({"2025-02-20", -0.1, {1.2}, false, false});
    plot.Add({"2023-02-27", 0.4, {0.9}, true, false});
    plot.Add({"2024-03-05", 0.3, {1.0}, true, true});
    plot.Add({"not a day", 0.3, {1.0}, true, false});
    const std::string svg = plot.Svg();
    // One ring for the verification that did not pass in each panel, plus
    // the legend's; the withdrawn one outlined, not in the lines.
    EXPECT_EQ(Count(svg, "<circle"), 3u);
    EXPECT_EQ(Count(svg, "<polyline"), 2u);
    const std::size_t line = svg.find("<polyline points=\"");
    ASSERT_NE(line, std::string::npos);
    const std::string points = svg.substr(line, svg.find('"', line + 18) - line);
    EXPECT_EQ(Count(points, ","), 2u) << points;
    EXPECT_NE(svg.find(">2024-01<"), std::string::npos);
}

}  // namespace
}  // namespace quillet::plot
