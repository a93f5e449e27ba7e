#include "plot/deviation_plot.h"

#include <QGuiApplication>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plot/axis_math.h"
#include "plot/font_metrics.h"
#include "plot/recorded_drawing.h"
#include "plot/svg_canvas.h"
#include "plotqt/png_file.h"
#include "sweep/plot_format.h"

namespace quillet::plot {
namespace {

using sweep::PlotFormat;
using sweep::PlotFormatFromFileName;

// A smooth sweep from 0.15 to 30 MHz with one sharp peak, one point outside
// the tolerance, one whose standard deviation reaches beyond every other
// value and a run of points that could not be evaluated, placed at fixed
// fractions of the sweep. Point 0 lies at 0 MHz and is never plotted.
sweep::EvaluatedPoint SweepPoint(std::size_t i, std::size_t n) {
    sweep::EvaluatedPoint p{};
    const double x = static_cast<double>(i) / static_cast<double>(n - 1);
    p.frequencyMHz = i == 0 ? 0.0 : 0.15 * std::pow(200.0, x);
    p.withinTolerance = true;
    if (i > n / 2 && i <= n / 2 + n / 20)
        return p;
    p.deviationDb = 2.0 * std::sin(40.0 * x);
    if (i == n / 3)
        p.deviationDb = 40.0;
    if (i == 2 * n / 3) {
        p.deviationDb = -3.5;
        p.withinTolerance = false;
    }
    p.exact = Extremes{*p.deviationDb + 1.5 * x, *p.deviationDb - 1.0};
    const double sd = i == n / 4 ? 50.0 : 0.3 + x;
    p.statistics = PhaseStatistics{*p.deviationDb - 0.2, sd, std::hypot(*p.deviationDb - 0.2, sd)};
    return p;
}

DeviationPlot PlotOf(std::size_t n, std::size_t maxEntries) {
    DeviationPlot plot(1, "dir/sweep.s1p", maxEntries);
    for (std::size_t i = 0; i < n; ++i)
        plot.Add(SweepPoint(i, n));
    return plot;
}

TEST(DeviationEnvelope, KeepsTheRangePeakAndMarksOfEveryPoint) {
    constexpr std::size_t kCap = DeviationEnvelope::kDefaultMaxEntries;
    for (std::size_t n : {std::size_t{41}, kCap + 1, kCap + 2, std::size_t{100'001}}) {
        SCOPED_TRACE(n);
        const DeviationEnvelope envelope = PlotOf(n, kCap).Envelope();
        const auto& entries = envelope.Entries();

        PlotRange all{SweepPoint(1, n).frequencyMHz, SweepPoint(n - 1, n).frequencyMHz, 0, 0};
        for (std::size_t i = 1; i < n; ++i) {
            const auto p = SweepPoint(i, n);
            if (p.exact) {
                const PhaseStatistics& s = *p.statistics;
                all.lowDb = std::min({all.lowDb, *p.deviationDb, p.exact->lowestDb, s.meanDb - s.standardDeviationDb});
                all.highDb =
                    std::max({all.highDb, *p.deviationDb, p.exact->highestDb, s.meanDb + s.standardDeviationDb});
            }
        }
        EXPECT_EQ(envelope.Range().fromMHz, all.fromMHz);
        EXPECT_EQ(envelope.Range().toMHz, all.toMHz);
        EXPECT_EQ(envelope.Range().lowDb, all.lowDb);
        EXPECT_EQ(envelope.Range().highDb, all.highDb);

        ASSERT_LE(entries.size(), kCap);
        std::size_t points = 0, marks = 0, gaps = 0;
        double peak = 0, highest = 0, spreadHighest = 0, spreadLowest = 0;
        for (const PlotEntry& e : entries) {
            points += e.points;
            if (n - 1 <= kCap) {
                EXPECT_EQ(e.points, 1u);
            }
            if (e.outside) {
                ++marks;
                EXPECT_EQ(e.outside->frequencyMHz, SweepPoint(2 * n / 3, n).frequencyMHz);
                EXPECT_EQ(e.outside->db, -3.5);
            }
            gaps += !e.lowestDeviation && !e.exactHighest && !e.highestMean;
            if (e.highestDeviation)
                peak = std::max(peak, e.highestDeviation->db);
            if (e.exactHighest)
                highest = std::max(highest, e.exactHighest->db);
            if (e.spreadHighest)
                spreadHighest = std::max(spreadHighest, e.spreadHighest->db);
            if (e.spreadLowest)
                spreadLowest = std::min(spreadLowest, e.spreadLowest->db);
        }
        EXPECT_EQ(points, n - 1);
        EXPECT_EQ(marks, 1u);
        EXPECT_GT(gaps, 0u);
        EXPECT_EQ(peak, 40.0);
        EXPECT_EQ(highest, SweepPoint(n / 3, n).exact->highestDb);
        EXPECT_EQ(spreadHighest, all.highDb);  // the wide point's, kept through every merge
        EXPECT_EQ(spreadLowest, all.lowDb);
    }
}

std::string Render(const DeviationPlot& plot, PlotFormat format) {
    return format == PlotFormat::Svg ? plot.Svg() : plotqt::PngOf(plot);
}

TEST(DeviationPlot, DrawsEveryPointUpToTheCapInEitherFormat) {
    constexpr std::size_t kPoints = 301;  // 300 plotted
    struct Row {
        PlotFormat format;
        std::string_view start;
    };
    for (const Row row : {Row{PlotFormat::Png, "\x89PNG\r\n\x1a\n"}, Row{PlotFormat::Svg, "<?xml"}}) {
        const std::string atCap = Render(PlotOf(kPoints, kPoints - 1), row.format);
        EXPECT_TRUE(atCap.starts_with(row.start));
        if (row.format == PlotFormat::Svg) {
            EXPECT_NE(atCap.find("<svg"), std::string::npos);
        }
        EXPECT_EQ(atCap, Render(PlotOf(kPoints, 8 * kPoints), row.format));
        EXPECT_NE(atCap, Render(PlotOf(kPoints, kPoints - 3), row.format));
    }
}

TEST(RecordedDrawing, DrawsAgainWhatThePlotDrew) {
    // How a plot reaches the PNG painter: every call, in order, alike.
    const DeviationPlot plot = PlotOf(301, 300);
    RecordedDrawing recorded;
    plot.Draw(recorded);
    SvgCanvas direct(DeviationPlot::kFileSize, "t"), again(DeviationPlot::kFileSize, "t");
    plot.Draw(direct);
    recorded.DrawOn(again);
    EXPECT_EQ(again.Finish(), direct.Finish());
}

TEST(AxisMath, FindsTheDecadeExactlyAtAndBesideItsBounds) {
    const std::pair<double, int> rows[] = {
        {0.1, -1},  {0.15, -1},     {1, 0}, {9.999999999999998, 0}, {10, 1}, {1000, 3}, {999.9999999999999, 2},
        {1e22, 22}, {1e-300, -300},
    };
    for (const auto& [x, decade] : rows) {
        EXPECT_EQ(DecadeOf(x), decade) << x;
        EXPECT_LE(Pow10(decade), x) << x;
    }
}

// Whatever a file is called, the title keeps the SVG well-formed XML.
TEST(DeviationPlot, WritesWellFormedSvgForAnyFileName) {
    for (const char* name : {"a&b<c>\"d.s1p", "bad\xFF\xC3(.s1p",
                             "tab\tand\x01"
                             "bell.s1p",
                             "Prüfung_Ω.s1p", "surrogate\xED\xA0\x80 overlong\xC0\xAF nonchar\xEF\xBF\xBF"}) {
        DeviationPlot plot(2, std::string("dir/") + name, 64);
        for (std::size_t i = 0; i < 41; ++i)
            plot.Add(SweepPoint(i, 41));
        const std::string svg = plot.Svg();
        QXmlStreamReader reader(QByteArray::fromStdString(svg));
        while (!reader.atEnd())
            reader.readNext();
        EXPECT_FALSE(reader.hasError()) << name << ": " << reader.errorString().toStdString();
        EXPECT_EQ(svg.find("dir/"), std::string::npos) << name;
    }
}

// Nothing in the file says "inf" or "nan", and the title stays on the
// picture with its AN type, however long the file's name.
TEST(DeviationPlot, KeepsTheSvgFiniteAndTheTitleOnThePicture) {
    struct Row {
        double fromMHz, toMHz;
        std::string name;
    };
    const Row rows[] = {
        {1e300, 1.7e308, "high.s1p"},
        {1e-320, 1e-300, "low.s1p"},
        {0.15, 30, std::string(250, 'x') + "\u00B5.s1p"},
    };
    for (const Row& row : rows) {
        DeviationPlot plot(2, row.name, 64);
        for (int i = 0; i <= 20; ++i) {
            sweep::EvaluatedPoint p = SweepPoint(static_cast<std::size_t>(i) + 1, 22);
            p.frequencyMHz = row.fromMHz * std::pow(row.toMHz / row.fromMHz, i / 20.0);
            plot.Add(p);
        }
        const std::string svg = plot.Svg();
        EXPECT_EQ(svg.find("inf"), std::string::npos) << row.name.substr(0, 10);
        EXPECT_EQ(svg.find("nan"), std::string::npos) << row.name.substr(0, 10);
        const std::size_t start = svg.find("AN type 2"), end = svg.find("</text>", start);
        ASSERT_NE(start, std::string::npos);
        EXPECT_LE(TextWidth(svg.substr(start, end - start), {15, true}), DeviationPlot::kFileSize.width - 16);
    }
}

// Tick labels to the step's digits, whatever rounding summing steps gives.
TEST(DeviationPlot, LabelsTheDeviationAxisToTheStepsDigits) {
    DeviationPlot plot(1, "steps.s1p", 64);
    for (int i = 0; i <= 10; ++i) {
        sweep::EvaluatedPoint p{};
        p.frequencyMHz = 1 + i;
        p.deviationDb = i / 10.0;
        p.withinTolerance = true;
        plot.Add(p);
    }
    const std::string svg = plot.Svg();
    for (const char* label : {">0.2<", ">0.4<", ">0.6<", ">0.8<", ">1<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    EXPECT_EQ(svg.find("000001<"), std::string::npos);
    EXPECT_EQ(svg.find("99999"), std::string::npos);
}

TEST(PlotFormat, FollowsTheFileNamesEndingInAnyCase) {
    const std::pair<const char*, std::optional<PlotFormat>> rows[] = {
        {"a.svg", PlotFormat::Svg}, {"dir/A.SvG", PlotFormat::Svg}, {"b.PNG", PlotFormat::Png},
        {"c.pdf", std::nullopt},    {"svg", std::nullopt},          {"d.svg.txt", std::nullopt},
    };
    for (const auto& [name, format] : rows)
        EXPECT_EQ(PlotFormatFromFileName(name), format) << name;
}

}  // namespace
}  // namespace quillet::plot

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);  // the plot's fonts need it
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
