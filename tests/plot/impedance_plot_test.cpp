#include "plot/impedance_plot.h"

#include <QString>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "measurement/measurement.h"

namespace quillet::plot {
namespace {

// What the picture's SVG draws, by shape: the bands, the dashed nominal
// curves, the measured lines, the outside marks and the measured points'
// dots, with the text of every label.
struct Shapes {
    std::vector<std::vector<Point>> bands, nominal, measured;
    std::vector<Point> outside, dots;
    std::vector<std::pair<Point, std::string>> texts;
    std::vector<double> numbers;  // every coordinate, to check them all
};

std::vector<Point> PointsOf(const QString& text) {
    std::vector<Point> points;
    for (const QString& pair : text.split(' ', Qt::SkipEmptyParts)) {
        const QStringList xy = pair.split(',');
        points.push_back({xy[0].toDouble(), xy[1].toDouble()});
    }
    return points;
}

Shapes ShapesOf(const std::string& svg) {
    Shapes shapes;
    QXmlStreamReader xml(QString::fromStdString(svg));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        const auto number = [&](const char* name) {
            const double v = a.value(name).toDouble();
            shapes.numbers.push_back(v);
            return v;
        };
        if (xml.name() == u"polygon") {
            shapes.bands.push_back(PointsOf(a.value("points").toString()));
        } else if (xml.name() == u"polyline") {
            (a.hasAttribute("stroke-dasharray") ? shapes.nominal : shapes.measured)
                .push_back(PointsOf(a.value("points").toString()));
        } else if (xml.name() == u"circle") {
            const Point centre{number("cx"), number("cy")};
            (a.value("r") == u"3.5" ? shapes.outside : shapes.dots).push_back(centre);
        } else if (xml.name() == u"text") {
            const Point at{number("x"), number("y")};
            shapes.texts.emplace_back(at, xml.readElementText().toStdString());
        } else if (xml.name() == u"line") {
            for (const char* name : {"x1", "y1", "x2", "y2"})
                number(name);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const auto* lines : {&shapes.bands, &shapes.nominal, &shapes.measured})
        for (const auto& line : *lines)
            for (const Point& p : line)
                shapes.numbers.insert(shapes.numbers.end(), {p.x, p.y});
    return shapes;
}

// A point measured at a ratio of the nominal |Z| and a phase offset from
// it, evaluated as an-sweep evaluates it.
sweep::EvaluatedPoint Measured(std::int16_t type, double frequencyMHz, double ratio, double offsetDegrees) {
    const std::complex<double> nominal = NominalImpedance(type, frequencyMHz);
    const double degrees = measurement::Degrees(Arg(nominal)) + offsetDegrees;
    return sweep::EvaluatePoint({frequencyMHz, PolarDegrees(Abs(nominal) * ratio, degrees)}, type);
}

TEST(ImpedancePlot, DrawsTheBandNominalAndMarksExactlyThePointsOutside) {
    struct Row {
        double frequencyMHz, ratio, offsetDegrees;
        bool outside;
    };
    const std::vector<Row> rows = {
        {0.15, 1.1, 5, false}, {0.3, 1.19, 0, false}, {0.7, 1.21, 0, true},   {1.5, 0.79, 0, true},
        {3, 1, 11.4, false},   {6, 1, -11.6, true},   {12, 0.81, -11, false}, {30, 1.3, 0, true},
    };
    for (std::int16_t type = 1; type <= 4; ++type) {
        SCOPED_TRACE(type);
        ImpedancePlot plot(type, "dir/sweep.s1p");
        for (const Row& row : rows) {
            const sweep::EvaluatedPoint p = Measured(type, row.frequencyMHz, row.ratio, row.offsetDegrees);
            ASSERT_EQ(!p.withinTolerance, row.outside) << row.frequencyMHz;
            plot.Add(p);
        }
        const Shapes shapes = ShapesOf(plot.Svg());
        const Rect upper = ImpedancePlot::MagnitudeArea(), lower = ImpedancePlot::PhaseArea();

        // A mark in each panel at each point outside, and the legend's.
        std::vector<double> upperMarks, lowerMarks, legendMarks;
        for (const Point& p : shapes.outside)
            (upper.Contains(p) ? upperMarks : lower.Contains(p) ? lowerMarks : legendMarks).push_back(p.x);
        ASSERT_EQ(upperMarks.size(), 4u);
        EXPECT_EQ(upperMarks, lowerMarks);
        EXPECT_EQ(legendMarks.size(), 1u);
        ASSERT_EQ(shapes.dots.size(), 2 * rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const bool marked = std::count(upperMarks.begin(), upperMarks.end(), shapes.dots[i].x) == 1;
            EXPECT_EQ(marked, rows[i].outside) << rows[i].frequencyMHz;
        }

        // The bands and nominal curves span the measured range; at its ends
        // the first point lies within the band around the nominal, the last
        // one above it.
        ASSERT_EQ(shapes.bands.size(), 2u);
        ASSERT_EQ(shapes.nominal.size(), 2u);
        for (int panel = 0; panel < 2; ++panel) {
            const std::vector<Point>& band = shapes.bands[panel];
            const std::vector<Point>& nominal = shapes.nominal[panel];
            const std::size_t half = band.size() / 2;
            const Point first = shapes.dots[panel * rows.size()], last = shapes.dots[panel * rows.size() + 7];
            ASSERT_EQ(half, nominal.size());
            EXPECT_EQ(band.front().x, first.x);
            EXPECT_EQ(band[half - 1].x, last.x);
            EXPECT_EQ(nominal.front().x, first.x);
            EXPECT_LT(band.front().y, nominal.front().y);  // y grows downwards
            EXPECT_GT(band.back().y, nominal.front().y);
            EXPECT_GT(first.y, band.front().y);
            EXPECT_LT(first.y, band.back().y);
            if (panel == 0) {
                EXPECT_LT(last.y, band[half - 1].y);
            }
        }
    }
}

// A phase a whole turn away is the same phase, drawn on the nominal's side.
TEST(ImpedancePlot, DrawsAPhaseAndItsTurnsAlike) {
    for (std::int16_t type : {1, 4}) {
        ImpedancePlot plain(type, "a.s1p"), turned(type, "a.s1p");
        for (int i = 0; i < 12; ++i) {
            sweep::EvaluatedPoint p{};
            p.frequencyMHz = 0.01 * std::pow(2.0, i);
            p.magnitudeOhm = 40 + i;
            p.phaseDegrees = -179 + 30 * i;
            p.withinTolerance = i % 3 != 0;
            plain.Add(p);
            p.phaseDegrees += 360.0 * (i % 3 - 1);
            turned.Add(p);
        }
        EXPECT_EQ(plain.Svg(), turned.Svg()) << type;
    }
}

TEST(ImpedancePlot, KeepsItsAxesAndNumbersSaneOnAwkwardSweeps) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::vector<std::array<double, 3>> points;  // MHz, ohm, degrees
        std::size_t drawn;
    };
    const std::vector<Case> cases = {
        {"one point", {{1, 150, 0}}, 1},
        {"one frequency", {{2, 140, 0}, {2, 150, 3}, {2, 160, -3}}, 3},
        {"far outside", {{0.1, 1e12, 0}, {1, 150, 0}, {10, 0, 0}}, 1},  // the others off the panel
        {"not numbers", {{kNaN, 150, 0}, {-1, 150, 0}, {1, kNaN, 0}, {2, 150, kInf}, {3, kInf, 0}, {4, 150, 1}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImpedancePlot plot(4, "a.s1p");
        for (const auto& [f, ohm, degrees] : c.points) {
            sweep::EvaluatedPoint p{};
            p.frequencyMHz = f;
            p.magnitudeOhm = ohm;
            p.phaseDegrees = degrees;
            p.withinTolerance = ohm >= 120 && ohm <= 180;
            plot.Add(p);
        }
        const std::string svg = plot.Svg();
        EXPECT_EQ(svg.find("nan"), std::string::npos);
        EXPECT_EQ(svg.find("inf"), std::string::npos);
        const Shapes shapes = ShapesOf(svg);
        for (double v : shapes.numbers)
            EXPECT_LT(std::fabs(v), 1e5);
        const Rect upper = ImpedancePlot::MagnitudeArea();
        std::size_t dots = 0;
        for (const Point& p : shapes.dots)
            dots += upper.Contains(p);
        EXPECT_EQ(dots, c.drawn);
        ASSERT_EQ(shapes.bands.size(), 2u);
        // The |Z| axis reaches a decade beyond the band (120 to 180 ohm) at
        // most, and marks pinned to its edges show what lies farther.
        for (const auto& [at, text] : shapes.texts) {
            if (at.x == upper.left - 6 && at.y < upper.Bottom() + 10) {
                double ohm = 0;
                std::from_chars(text.data(), text.data() + text.size(), ohm);
                EXPECT_GE(ohm, 10);
                EXPECT_LE(ohm, 2000);
            }
        }
        if (c.name == std::string("far outside")) {
            std::vector<double> marks;
            for (const Point& p : shapes.outside)
                if (upper.Contains(p))
                    marks.push_back(p.y);
            EXPECT_EQ(marks, (std::vector<double>{upper.top, upper.Bottom()}));
        }
    }
}

// Beyond its entries the plot merges points, keeping each extreme and
// each point outside.
TEST(ImpedancePlot, KeepsExtremesAndOutsidePointsOfALongSweep) {
    constexpr std::size_t kPoints = 10'007, kEntries = 64;
    ImpedancePlot plot(2, "a.s1p", kEntries);
    for (std::size_t i = 0; i < kPoints; ++i) {
        sweep::EvaluatedPoint p{};
        p.frequencyMHz = 0.01 + 0.003 * static_cast<double>(i);
        p.magnitudeOhm = i == 5000 ? 1000 : i == 7000 ? 0.5 : 40 + std::sin(0.01 * static_cast<double>(i));
        p.phaseDegrees = i == 9000 ? -170 : 10;
        p.withinTolerance = i % 1000 != 999;
        plot.Add(p);
    }
    const auto& entries = plot.Entries();
    EXPECT_LE(entries.size(), kEntries);
    EXPECT_GE(entries.size(), kEntries / 2);
    std::size_t points = 0, marked = 0;
    double highest = 0, lowest = 1e9, lowestDegrees = 1e9;
    for (const ImpedanceEntry& e : entries) {
        points += e.points;
        marked += e.outside.has_value();
        highest = std::max(highest, e.highestOhm.value);
        lowest = std::min(lowest, e.lowestOhm.value);
        lowestDegrees = std::min(lowestDegrees, e.lowestDegrees.value);
    }
    EXPECT_EQ(points, kPoints);
    EXPECT_EQ(marked, 10u);  // no two points outside share an entry
    EXPECT_EQ(highest, 1000);
    EXPECT_EQ(lowest, 0.5);
    EXPECT_LT(lowestDegrees, -100);
}

}  // namespace
}  // namespace quillet::plot
