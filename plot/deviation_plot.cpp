#include "plot/deviation_plot.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/an_types.h"
#include "plot/axis_math.h"
#include "plot/font_metrics.h"
#include "plot/frequency_axis.h"
#include "plot/legend.h"
#include "plot/plot_style.h"
#include "plot/plot_title.h"
#include "plot/svg_canvas.h"

namespace quillet::plot {
namespace {

// The plotting area inside the axes: fixed margins for the title, legend,
// tick labels and axis titles, whose text keeps its size; the rest is data.
constexpr double kLeftMargin = 78, kTopMargin = 76, kRightMargin = 24, kBottomMargin = 62;
Rect AreaOf(Size size) {
    return {kLeftMargin, kTopMargin, std::max(1.0, size.width - kLeftMargin - kRightMargin),
            std::max(1.0, size.height - kTopMargin - kBottomMargin)};
}

// One series drawn from the entries: its highest and lowest value in each,
// and whether the entry's first and last point have one and whether some
// point inside has none.
struct Series {
    std::optional<PlottedValue> PlotEntry::*highest;
    std::optional<PlottedValue> PlotEntry::*lowest;
    bool PlotEntry::*firstHas;
    bool PlotEntry::*lastHas;
    bool PlotEntry::*broken;
};

constexpr Series kCalculator{&PlotEntry::highestDeviation, &PlotEntry::lowestDeviation, &PlotEntry::firstHasDeviation,
                             &PlotEntry::lastHasDeviation, &PlotEntry::deviationBroken};
constexpr Series kExact{&PlotEntry::exactHighest, &PlotEntry::exactLowest, &PlotEntry::firstBounded,
                        &PlotEntry::lastBounded, &PlotEntry::exactBroken};
constexpr Series kMean{&PlotEntry::highestMean, &PlotEntry::lowestMean, &PlotEntry::firstHasStatistics,
                       &PlotEntry::lastHasStatistics, &PlotEntry::statisticsBroken};
constexpr Series kSpread{&PlotEntry::spreadHighest, &PlotEntry::spreadLowest, &PlotEntry::firstHasStatistics,
                         &PlotEntry::lastHasStatistics, &PlotEntry::statisticsBroken};

// Told apart by lightness and dash as well as by hue, so a print in grey
// keeps them apart: the two bands light and lighter, the calculator solid
// and dark, the mean dashed.
constexpr Color kExactFill{0x9E, 0xC5, 0xE8, 150};
constexpr Color kSpreadFill{0xE0, 0x8A, 0x2E, 140};
constexpr Pen kCalculatorPen{{0x1F, 0x3A, 0x93}, 1.6};
constexpr Pen kMeanPen{{0x8A, 0x3B, 0x00}, 1.6, true};
constexpr Pen kOutsidePen{{0xC0, 0x10, 0x10}, 1.4};
constexpr double kOutsideRadius = 3.5;

constexpr Pen kZeroLine{{0xA0, 0xA0, 0xA4}, 1};

struct Axes : FrequencyScale {
    double dbFrom, dbTo, dbStep;

    double Y(double db) const { return area.Bottom() - (db - dbFrom) / (dbTo - dbFrom) * area.height; }
    Point At(double frequencyMHz, double db) const { return {X(frequencyMHz), Y(db)}; }
    Point At(const PlottedValue& value) const { return At(value.frequencyMHz, value.db); }
};

Axes ChooseAxes(const PlotRange& range, const std::optional<FrequencyRange>& zoom, Size size) {
    double low = range.lowDb, high = range.highDb;
    Axes axes{};
    static_cast<FrequencyScale&>(axes) = ChooseFrequencyScale(range.fromMHz, range.toMHz, zoom, AreaOf(size));
    const double margin = 0.05 * std::max(high - low, 1.0);  // keep lines off the frame
    low -= margin;
    high += margin;
    axes.dbStep = NiceStep(std::max(high - low, 1.0));
    axes.dbFrom = std::floor(low / axes.dbStep) * axes.dbStep;
    axes.dbTo = std::ceil(high / axes.dbStep) * axes.dbStep;
    if (axes.dbTo - axes.dbFrom < axes.dbStep)
        axes.dbTo = axes.dbFrom + axes.dbStep;
    return axes;
}

void DrawGridAndAxes(Canvas& canvas, const Axes& axes) {
    DrawFrequencyGrid(canvas, axes);
    // Counted, not summed, so no step's rounding error reaches a label.
    const int steps = static_cast<int>(std::floor((axes.dbTo - axes.dbFrom) / axes.dbStep + 0.5));
    for (int i = 0; i <= steps; ++i) {
        const double db = axes.dbFrom + i * axes.dbStep;
        const bool zero = std::fabs(db) < axes.dbStep / 2;
        const double y = axes.Y(db);
        canvas.Line({axes.area.left, y}, {axes.area.Right(), y}, zero ? kZeroLine : kGrid);
        canvas.Text(zero ? "0" : TickText(db, axes.dbStep), {axes.area.left - 6, BaselineCentredOn(y, kLabelFont)},
                    Anchor::End, kLabelFont, kBlack);
    }
    canvas.StrokeRect(axes.area, kFrame);

    canvas.Text("Frequency (MHz)",
                {axes.area.Centre().x, axes.area.Bottom() + kBottomMargin - 28 + Ascent(kAxisTitleFont)},
                Anchor::Middle, kAxisTitleFont, kBlack);
    // Turned to read upwards, its top 10 px right of the picture's edge.
    canvas.Text("Deviation (dB)", {8 + Ascent(kAxisTitleFont), axes.area.Centre().y}, Anchor::Middle, kAxisTitleFont,
                kBlack, -90);
}

// A series' highest and lowest values as a band, one piece per run of
// entries that have them. An entry with a point without inside ends the
// piece it continues and starts the next one, so the break stays where it
// was.
void DrawBand(Canvas& canvas, const Axes& axes, const std::vector<PlotEntry>& entries, const Series& series,
              Color fill) {
    std::vector<const PlotEntry*> piece;
    std::vector<Point> band;
    const auto draw = [&] {
        if (piece.empty())
            return;
        band.clear();
        for (const PlotEntry* e : piece)
            band.push_back(axes.At(*(e->*series.highest)));
        for (auto e = piece.rbegin(); e != piece.rend(); ++e)
            band.push_back(axes.At(*((*e)->*series.lowest)));
        // A single entry has no width: an outline keeps it in sight.
        const Pen outline{fill.Opaque(), 3};
        canvas.Polygon(band, fill, piece.size() == 1 ? &outline : nullptr);
        piece.clear();
    };
    bool previousEndsWithValue = false;
    for (const PlotEntry& e : entries) {
        const bool joins = previousEndsWithValue && e.*series.firstHas;
        previousEndsWithValue = e.*series.lastHas;
        if (!joins)
            draw();
        if (!(e.*series.highest))
            continue;
        if (!(e.*series.broken)) {
            piece.push_back(&e);
            continue;
        }
        if (joins || !(e.*series.lastHas)) {
            piece.push_back(&e);
            draw();
        }
        if (e.*series.lastHas)
            piece.push_back(&e);
    }
    draw();
}

// The line through each entry's lowest and highest value, in frequency
// order; a single point gives one vertex.
std::pair<Point, std::optional<Point>> LineVertices(const Axes& axes, const PlotEntry& e, const Series& series) {
    PlottedValue first = *(e.*series.lowest), second = *(e.*series.highest);
    if (first.frequencyMHz == second.frequencyMHz && first.db == second.db)
        return {axes.At(first), std::nullopt};
    if (second.frequencyMHz < first.frequencyMHz)
        std::swap(first, second);
    return {axes.At(first), axes.At(second)};
}

void DrawLine(Canvas& canvas, const Axes& axes, const std::vector<PlotEntry>& entries, const Series& series,
              const Pen& pen) {
    std::vector<Point> piece;
    const auto draw = [&] {
        if (piece.size() > 1)
            canvas.Polyline(piece, pen);
        piece.clear();
    };
    bool previousEndsDrawn = false;
    for (const PlotEntry& e : entries) {
        const bool joins = previousEndsDrawn && e.*series.firstHas;
        previousEndsDrawn = e.*series.lastHas;
        if (!(e.*series.lowest))
            continue;
        const auto [first, second] = LineVertices(axes, e, series);
        if (!joins)
            draw();
        piece.push_back(first);
        if (!second)
            continue;
        // A point without a value inside the entry breaks the line there.
        if (e.*series.broken)
            draw();
        piece.push_back(*second);
    }
    draw();
}

void DrawOutsideMarks(Canvas& canvas, const Axes& axes, const std::vector<PlotEntry>& entries) {
    for (const PlotEntry& e : entries) {
        if (e.outside)
            canvas.Circle(axes.At(*e.outside), kOutsideRadius, kOutsidePen);
    }
}

// Two rows under the title, outside the data: the bands, then the lines
// and marks.
void DrawDeviationLegend(Canvas& canvas, double pictureWidth) {
    using Symbol = LegendEntry::Symbol;
    const std::vector<LegendEntry> rows[] = {
        {{Symbol::Band, "exact highest to lowest, any EUT phase", kExactFill},
         {Symbol::Band, "mean \u00B1 1 standard deviation", kSpreadFill}},
        {{Symbol::Line, "calculator, 0.01 rad grid", {}, kCalculatorPen},
         {Symbol::Line, "mean over the EUT phase", {}, kMeanPen},
         {Symbol::Circle, "outside tolerance", {}, kOutsidePen, kOutsideRadius}},
    };
    DrawLegend(canvas, pictureWidth, rows);
}

}  // namespace

DeviationPlot::DeviationPlot(std::int16_t anType, std::string source, std::size_t maxEntries)
    : anType_(anType), source_(std::move(source)), envelope_(maxEntries) {
    static_cast<void>(AnType(anType_));  // refuse an unknown type now, not when drawing
}

void DeviationPlot::Draw(Canvas& canvas, Size size) const {
    canvas.FillRect({0, 0, size.width, size.height}, kWhite);
    const std::string title = PlotTitle(anType_, source_, size.width);
    canvas.Text(title, {size.width / 2, 8 + Ascent(kTitleFont)}, Anchor::Middle, kTitleFont, kBlack);
    if (envelope_.Empty()) {
        const Point centre = AreaOf(size).Centre();
        canvas.Text("no point above 0 MHz to draw", {centre.x, BaselineCentredOn(centre.y, kTitleFont)}, Anchor::Middle,
                    kTitleFont, kBlack);
        return;
    }
    const Axes axes = ChooseAxes(envelope_.Range(), frequencyRange_, size);
    DrawGridAndAxes(canvas, axes);
    canvas.ClipTo(axes.area);
    const std::vector<PlotEntry>& entries = envelope_.Entries();
    DrawBand(canvas, axes, entries, kExact, kExactFill);
    DrawBand(canvas, axes, entries, kSpread, kSpreadFill);
    DrawLine(canvas, axes, entries, kMean, kMeanPen);
    DrawLine(canvas, axes, entries, kCalculator, kCalculatorPen);
    DrawOutsideMarks(canvas, axes, entries);
    canvas.Unclip();
    DrawDeviationLegend(canvas, size.width);
}

std::string DeviationPlot::Svg() const {
    SvgCanvas canvas(kFileSize, kDescription);
    Draw(canvas);
    return canvas.Finish();
}

Rect DeviationPlot::Area(Size size) { return AreaOf(size); }

std::optional<FrequencyRange> DeviationPlot::FrequencyAxis() const {
    if (envelope_.Empty())
        return std::nullopt;
    const Axes axes = ChooseAxes(envelope_.Range(), frequencyRange_, kFileSize);
    return FrequencyRange{Pow10(axes.decadeFrom), Pow10(axes.decadeTo)};
}

std::optional<Point> DeviationPlot::Position(double frequencyMHz, double db, Size size) const {
    if (envelope_.Empty() || frequencyMHz <= 0)
        return std::nullopt;
    return ChooseAxes(envelope_.Range(), frequencyRange_, size).At(frequencyMHz, db);
}

std::optional<double> DeviationPlot::FrequencyAt(double x, Size size) const {
    if (envelope_.Empty())
        return std::nullopt;
    const Axes axes = ChooseAxes(envelope_.Range(), frequencyRange_, size);
    const double share = (x - axes.area.left) / axes.area.width;
    return Pow10(axes.decadeFrom + share * (axes.decadeTo - axes.decadeFrom));
}

}  // namespace quillet::plot
