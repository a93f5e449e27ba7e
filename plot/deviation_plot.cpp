#include "plot/deviation_plot.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/an_types.h"
#include "plot/axis_math.h"
#include "plot/font_metrics.h"
#include "plot/svg_canvas.h"
#include "plot/utf8.h"
#include "plot/value_axis.h"

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

constexpr Color kBlack{0, 0, 0}, kWhite{0xFF, 0xFF, 0xFF};
constexpr Pen kGrid{{0xDD, 0xDD, 0xDD}, 1};
constexpr Pen kMinorGrid{{0xEE, 0xEE, 0xEE}, 1};
constexpr Pen kZeroLine{{0xA0, 0xA0, 0xA4}, 1};
constexpr Pen kFrame{kBlack, 1};

// Pixel sizes, so every surface and file comes out alike.
constexpr Font kTitleFont{15, true}, kLabelFont{12}, kAxisTitleFont{13};

// The baseline that centres a line of text on y.
double BaselineCentredOn(double y, const Font& font) { return y + (Ascent(font) - Descent(font)) / 2; }

struct Axes {
    double decadeFrom, decadeTo;  // log10 of the frequency range
    double dbFrom, dbTo, dbStep;
    bool zoomed;  // the frequency range was chosen, not rounded to decades
    Rect area;    // where they are drawn

    double X(double frequencyMHz) const {
        return area.left + (Log10(frequencyMHz) - decadeFrom) / (decadeTo - decadeFrom) * area.width;
    }
    double Y(double db) const { return area.Bottom() - (db - dbFrom) / (dbTo - dbFrom) * area.height; }
    Point At(double frequencyMHz, double db) const { return {X(frequencyMHz), Y(db)}; }
    Point At(const PlottedValue& value) const { return At(value.frequencyMHz, value.db); }
};

Axes ChooseAxes(const PlotRange& range, const std::optional<FrequencyRange>& zoom, Size size) {
    double low = range.lowDb, high = range.highDb;
    Axes axes{};
    axes.area = AreaOf(size);
    if (zoom) {
        axes.decadeFrom = Log10(zoom->fromMHz);
        axes.decadeTo = Log10(zoom->toMHz);
        axes.zoomed = true;
    } else {
        axes.decadeFrom = DecadeOf(range.fromMHz);
        const int below = DecadeOf(range.toMHz);
        axes.decadeTo = Pow10(below) == range.toMHz ? below : below + 1;
        if (axes.decadeTo <= axes.decadeFrom)
            axes.decadeTo = axes.decadeFrom + 1;
    }
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

void DrawFrequencyLine(Canvas& canvas, const Axes& axes, double frequencyMHz, const Pen& pen,
                       const std::string& label) {
    if (!std::isfinite(frequencyMHz))
        return;  // a decade past the largest double, at the top of the range
    const double x = axes.X(frequencyMHz);
    canvas.Line({x, axes.area.top}, {x, axes.area.Bottom()}, pen);
    if (!label.empty())
        canvas.Text(label, {x, axes.area.Bottom() + 4 + Ascent(kLabelFont)}, Anchor::Middle, kLabelFont, kBlack);
}

// A zoomed axis seldom starts or ends at a decade. Over a decade or more
// the lines stay at 1 to 9 times a power of ten, labelled at 1, 2 and 5
// while few decades are shown; within a decade the axis is nearly linear
// and takes evenly spaced lines.
void DrawZoomedFrequencyGrid(Canvas& canvas, const Axes& axes) {
    const double span = axes.decadeTo - axes.decadeFrom;
    const double from = Pow10(axes.decadeFrom), to = Pow10(axes.decadeTo);
    const auto inside = [&](double f) { return f >= from * (1 - 1e-12) && f <= to * (1 + 1e-12); };
    if (span >= 1.0) {
        for (double decade = std::floor(axes.decadeFrom); decade <= std::ceil(axes.decadeTo); decade += 1) {
            const double f = Pow10(decade);
            for (int k = 1; k <= 9; ++k) {
                const bool labelled = k == 1 || (span <= 2.5 && (k == 2 || k == 5));
                if (inside(k * f))
                    DrawFrequencyLine(canvas, axes, k * f, k == 1 ? kGrid : kMinorGrid,
                                      labelled ? sweep::SignificantText(k * f) : std::string());
            }
        }
        return;
    }
    const double step = NiceStep(to - from);
    for (double n = std::ceil(from / step); n * step <= to * (1 + 1e-12); n += 1)
        DrawFrequencyLine(canvas, axes, n * step, kGrid, sweep::SignificantText(n * step));
}

void DrawGridAndAxes(Canvas& canvas, const Axes& axes) {
    if (axes.zoomed)
        DrawZoomedFrequencyGrid(canvas, axes);
    for (double decade = axes.decadeFrom; !axes.zoomed && decade <= axes.decadeTo; decade += 1) {
        const double f = Pow10(decade);
        DrawFrequencyLine(canvas, axes, f, kGrid, sweep::ShortestText(f));
        if (decade == axes.decadeTo)
            break;
        for (int k = 2; k <= 9; ++k)
            DrawFrequencyLine(canvas, axes, k * f, kMinorGrid, {});
    }
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
void DrawLegend(Canvas& canvas, double pictureWidth) {
    enum class Symbol { ExactBand, SpreadBand, CalculatorLine, MeanLine, OutsideMark };
    struct Entry {
        Symbol symbol;
        std::string_view label;
    };
    const std::vector<Entry> rows[] = {
        {{Symbol::ExactBand, "exact highest to lowest, any EUT phase"},
         {Symbol::SpreadBand, "mean \u00B1 1 standard deviation"}},
        {{Symbol::CalculatorLine, "calculator, 0.01 rad grid"},
         {Symbol::MeanLine, "mean over the EUT phase"},
         {Symbol::OutsideMark, "outside tolerance"}},
    };
    constexpr double kSymbol = 22, kGap = 6, kSpacing = 22;
    double y = 42;
    for (const std::vector<Entry>& row : rows) {
        double width = kSpacing * static_cast<double>(row.size() - 1);
        for (const Entry& entry : row)
            width += kSymbol + kGap + TextWidth(entry.label, kLabelFont);
        double x = (pictureWidth - width) / 2;
        for (const Entry& entry : row) {
            switch (entry.symbol) {
            case Symbol::ExactBand:
            case Symbol::SpreadBand:
                canvas.FillRect({x, y - 5, kSymbol, 10}, entry.symbol == Symbol::ExactBand ? kExactFill : kSpreadFill);
                break;
            case Symbol::CalculatorLine:
            case Symbol::MeanLine:
                canvas.Line({x, y}, {x + kSymbol, y},
                            entry.symbol == Symbol::CalculatorLine ? kCalculatorPen : kMeanPen);
                break;
            case Symbol::OutsideMark: canvas.Circle({x + kSymbol / 2, y}, kOutsideRadius, kOutsidePen); break;
            }
            x += kSymbol + kGap;
            canvas.Text(entry.label, {x, y + Ascent(kLabelFont) / 2 - 1}, Anchor::Start, kLabelFont, kBlack);
            x += TextWidth(entry.label, kLabelFont) + kSpacing;
        }
        y += 16;
    }
}

// The file's name without its folders, as either system writes them.
std::string_view FileName(std::string_view source) {
#ifdef _WIN32
    const std::size_t slash = source.find_last_of("/\\");
#else
    const std::size_t slash = source.rfind('/');
#endif
    return slash == std::string_view::npos ? source : source.substr(slash + 1);
}

// The title with the file's name shortened in its middle where the whole
// would not fit the picture's width, so the AN type always shows.
std::string Title(std::int16_t anType, std::string_view fileName, double width) {
    const std::string head = "AN type " + std::to_string(anType) + ": " + std::string(AnType(anType).caption) + "  (";
    std::string whole = head + std::string(fileName) + ")";
    const double room = width - 16;
    if (TextWidth(whole, kTitleFont) <= room)
        return whole;
    std::vector<std::string_view> characters;
    for (std::size_t at = 0; at < fileName.size();) {
        const std::size_t length = NextUtf8(fileName, at).length;
        characters.push_back(fileName.substr(at, length));
        at += length;
    }
    for (std::size_t kept = characters.size() / 2; kept > 0; --kept) {
        std::string title = head;
        for (std::size_t i = 0; i < kept; ++i)
            title += characters[i];
        title += "\u2026";
        for (std::size_t i = characters.size() - kept; i < characters.size(); ++i)
            title += characters[i];
        title += ")";
        if (TextWidth(title, kTitleFont) <= room)
            return title;
    }
    return head + "\u2026)";
}

}  // namespace

DeviationPlot::DeviationPlot(std::int16_t anType, std::string source, std::size_t maxEntries)
    : anType_(anType), source_(std::move(source)), envelope_(maxEntries) {
    static_cast<void>(AnType(anType_));  // refuse an unknown type now, not when drawing
}

void DeviationPlot::Draw(Canvas& canvas, Size size) const {
    canvas.FillRect({0, 0, size.width, size.height}, kWhite);
    const std::string title = Title(anType_, FileName(source_), size.width);
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
    DrawLegend(canvas, size.width);
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
