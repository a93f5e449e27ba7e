#include "plot/trend_plot.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <functional>

#include "plot/font_metrics.h"
#include "plot/frequency_axis.h"
#include "plot/plot_style.h"
#include "plot/svg_canvas.h"

namespace quillet::plot {
namespace {

constexpr double kLeftMargin = 78, kTopMargin = 64, kRightMargin = 24, kBottomMargin = 58, kPanelGap = 26;
constexpr Color kGrey{0x90, 0x90, 0x90};
constexpr Pen kEdgeLine{{0xC0, 0x10, 0x10}, 1.2, true};
constexpr Pen kMarginPen{{0x1F, 0x3A, 0x93}, 1.6};
constexpr Pen kNotPassedPen{{0xC0, 0x10, 0x10}, 2};
constexpr Pen kWithdrawnPen{kGrey, 1.2};
constexpr double kMark = 4;
// The bands' lines, apart in lightness as well as hue for a grey print.
constexpr std::array<Color, 4> kBandColours{
    {{0x8A, 0x3B, 0x00}, {0x1F, 0x7A, 0x3A}, {0x6A, 0x2C, 0x91}, {0x40, 0x40, 0x40}}};

struct ValueAxis {
    double from, to, step;
    Rect area;
    double Y(double v) const { return area.Bottom() - (v - from) / (to - from) * area.height; }
};

// An axis of figures that cannot fall below 0 starts at 0.
ValueAxis ChooseValues(double low, double high, Rect area, bool fromZero) {
    const double pad = 0.05 * std::max(high - low, 1e-9);
    low = fromZero ? 0.0 : low - pad;
    high += pad;
    ValueAxis axis{};
    axis.step = NiceStep(std::max(high - low, 1e-6));
    axis.from = std::floor(low / axis.step) * axis.step;
    axis.to = std::ceil(high / axis.step) * axis.step;
    if (axis.to - axis.from < axis.step)
        axis.to = axis.from + axis.step;
    axis.area = area;
    return axis;
}

void DrawValueGrid(Canvas& canvas, const ValueAxis& axis, std::string_view title) {
    const int steps = static_cast<int>(std::floor((axis.to - axis.from) / axis.step + 0.5));
    for (int i = 0; i <= steps; ++i) {
        const double v = axis.from + i * axis.step;
        const double y = axis.Y(v);
        canvas.Line({axis.area.left, y}, {axis.area.Right(), y}, kGrid);
        canvas.Text(std::fabs(v) < axis.step / 2 ? "0" : TickText(v, axis.step),
                    {axis.area.left - 6, BaselineCentredOn(y, kLabelFont)}, Anchor::End, kLabelFont, kBlack);
    }
    canvas.Text(title, {8 + Ascent(kAxisTitleFont), axis.area.Centre().y}, Anchor::Middle, kAxisTitleFont, kBlack, -90);
}

// Dates as day numbers; ticks at the first of a month, every 1, 2, 3 or 6
// months, or at new year every 1, 2, 5 ... years, no more than eight.
struct DateAxis {
    double from, to;
    Rect area;
    double X(double day) const { return area.left + (day - from) / (to - from) * area.width; }
};

long long MonthStart(long long monthIndex) {  // months since year 0
    using namespace std::chrono;
    const year_month_day ymd{year{static_cast<int>(monthIndex / 12)}, month{static_cast<unsigned>(monthIndex % 12 + 1)},
                             day{1}};
    return sys_days{ymd}.time_since_epoch().count();
}

long long MonthIndex(long long dayNumber) {
    using namespace std::chrono;
    const year_month_day ymd{sys_days{days{dayNumber}}};
    return static_cast<long long>(static_cast<int>(ymd.year())) * 12 + static_cast<unsigned>(ymd.month()) - 1;
}

void DrawDateGrid(Canvas& canvas, const DateAxis& axis, Rect upper, Rect lower) {
    const long long first = MonthIndex(static_cast<long long>(std::ceil(axis.from)));
    const long long last = MonthIndex(static_cast<long long>(std::floor(axis.to)));
    constexpr std::array<long long, 10> kSteps{1, 2, 3, 6, 12, 24, 60, 120, 240, 600};
    long long step = kSteps.back();
    for (const long long s : kSteps) {
        if ((last - first) / s + 1 <= 8) {
            step = s;
            break;
        }
    }
    for (long long m = (first + step - 1) / step * step; m <= last; m += step) {
        const double day = static_cast<double>(MonthStart(m));
        if (day < axis.from || day > axis.to)
            continue;
        const double x = axis.X(day);
        for (const Rect& r : {upper, lower})
            canvas.Line({x, r.top}, {x, r.Bottom()}, kGrid);
        char text[16];
        auto end = std::to_chars(text, text + sizeof text, m / 12).ptr;
        if (step < 12) {
            *end++ = '-';
            const long long month = m % 12 + 1;
            *end++ = static_cast<char>('0' + month / 10);
            *end++ = static_cast<char>('0' + month % 10);
        }
        canvas.Text(std::string_view(text, static_cast<std::size_t>(end - text)),
                    {x, lower.Bottom() + 4 + Ascent(kLabelFont)}, Anchor::Middle, kLabelFont, kBlack);
    }
    canvas.Text("Date of measurement", {lower.Centre().x, lower.Bottom() + kBottomMargin - 24 + Ascent(kAxisTitleFont)},
                Anchor::Middle, kAxisTitleFont, kBlack);
}

// A verdict's mark: a filled square where it passed, a ring where it did
// not, a grey outline where the verification was withdrawn.
void Mark(Canvas& canvas, Point at, const TrendEntry& entry, Color fill) {
    if (entry.withdrawn) {
        canvas.StrokeRect({at.x - kMark, at.y - kMark, 2 * kMark, 2 * kMark}, kWithdrawnPen);
    } else if (entry.passed) {
        canvas.FillRect({at.x - kMark, at.y - kMark, 2 * kMark, 2 * kMark}, fill);
    } else {
        canvas.Circle(at, kMark + 1, kNotPassedPen);
    }
}

}  // namespace

std::optional<long long> DayNumber(std::string_view isoDay) {
    using namespace std::chrono;
    if (isoDay.size() != 10 || isoDay[4] != '-' || isoDay[7] != '-')
        return std::nullopt;
    int y = 0;
    unsigned m = 0, d = 0;
    const auto read = [&](std::size_t at, std::size_t length, auto& value) {
        const char* begin = isoDay.data() + at;
        const auto result = std::from_chars(begin, begin + length, value);
        return result.ec == std::errc() && result.ptr == begin + length;
    };
    if (!read(0, 4, y) || !read(5, 2, m) || !read(8, 2, d))
        return std::nullopt;
    const year_month_day ymd{year{y}, month{m}, day{d}};
    if (!ymd.ok())
        return std::nullopt;
    return sys_days{ymd}.time_since_epoch().count();
}

TrendPlot::TrendPlot(std::string title, std::vector<std::string> bandNames, std::string marginTitle)
    : title_(std::move(title)), bandNames_(std::move(bandNames)), marginTitle_(std::move(marginTitle)) {}

void TrendPlot::Add(TrendEntry entry) {
    const std::optional<long long> day = DayNumber(entry.day);
    if (!day)
        return;
    entry.bandUncertaintyDb.resize(bandNames_.size());
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), *day,
                                     [](long long d, const auto& e) { return d < e.first; });
    entries_.insert(at, {*day, std::move(entry)});
}

namespace {

using Entries = std::vector<std::pair<long long, TrendEntry>>;

// A series through the verifications in force, broken where one has no
// value, and every verification's mark.
void DrawSeries(Canvas& canvas, const Entries& entries, const DateAxis& dates, const ValueAxis& axis,
                const std::function<std::optional<double>(const TrendEntry&)>& value, const Pen& pen) {
    std::vector<Point> line;
    const auto draw = [&] {
        if (line.size() > 1)
            canvas.Polyline(line, pen);
        line.clear();
    };
    for (const auto& [day, e] : entries) {
        if (e.withdrawn)
            continue;
        if (const std::optional<double> v = value(e))
            line.push_back({dates.X(static_cast<double>(day)), axis.Y(*v)});
        else
            draw();
    }
    draw();
    for (const auto& [day, e] : entries) {
        if (const std::optional<double> v = value(e))
            Mark(canvas, {dates.X(static_cast<double>(day)), axis.Y(*v)}, e, pen.color);
    }
}

// A panel with room around it for the marks on its frame.
Rect WithMarks(const Rect& panel) {
    return {panel.left - kMark - 2, panel.top - kMark - 2, panel.width + 2 * kMark + 4, panel.height + 2 * kMark + 4};
}

Pen BandPen(std::size_t band) { return Pen{kBandColours[band % kBandColours.size()], 1.6}; }

// One row under the title: the bands' lines, then the three marks.
void DrawTrendLegend(Canvas& canvas, const std::vector<std::string>& bandNames, double pictureWidth) {
    const auto labelWidth = [](std::string_view label) { return 22 + 6 + TextWidth(label, kLabelFont) + 20; };
    constexpr std::string_view kMarks[] = {"passed", "not passed", "withdrawn"};
    double total = 0;
    for (const std::string& label : bandNames)
        total += labelWidth(label);
    for (const std::string_view label : kMarks)
        total += labelWidth(label);
    double x = (pictureWidth - total + 20) / 2;
    const double y = 42;
    for (std::size_t b = 0; b < bandNames.size(); ++b) {
        canvas.Line({x, y}, {x + 22, y}, BandPen(b));
        canvas.Text(bandNames[b], {x + 28, y + Ascent(kLabelFont) / 2 - 1}, Anchor::Start, kLabelFont, kBlack);
        x += labelWidth(bandNames[b]);
    }
    for (std::size_t i = 0; i < std::size(kMarks); ++i) {
        TrendEntry sample;
        sample.passed = i == 0;
        sample.withdrawn = i == 2;
        Mark(canvas, {x + 11, y}, sample, kMarginPen.color);
        canvas.Text(kMarks[i], {x + 28, y + Ascent(kLabelFont) / 2 - 1}, Anchor::Start, kLabelFont, kBlack);
        x += labelWidth(kMarks[i]);
    }
}

// The margins' range, 0 included, and the largest band figure.
struct Ranges {
    double marginLow = 0, marginHigh = 0, uHigh = 0;
};
Ranges RangesOf(const Entries& entries) {
    Ranges r;
    for (const auto& [day, e] : entries) {
        if (e.worstMargin) {
            r.marginLow = std::min(r.marginLow, *e.worstMargin);
            r.marginHigh = std::max(r.marginHigh, *e.worstMargin);
        }
        for (const auto& u : e.bandUncertaintyDb) {
            if (u)
                r.uHigh = std::max(r.uHigh, *u);
        }
    }
    return r;
}

}  // namespace

void TrendPlot::Draw(Canvas& canvas, Size size) const {
    canvas.FillRect({0, 0, size.width, size.height}, kWhite);
    canvas.Text(title_, {size.width / 2, 8 + Ascent(kTitleFont)}, Anchor::Middle, kTitleFont, kBlack);
    const double width = std::max(1.0, size.width - kLeftMargin - kRightMargin);
    const double height = std::max(2.0, size.height - kTopMargin - kBottomMargin - kPanelGap);
    const Rect upper{kLeftMargin, kTopMargin, width, height * 0.45};
    const Rect lower{kLeftMargin, upper.Bottom() + kPanelGap, width, height - upper.height};
    if (entries_.empty()) {
        canvas.Text("no verification to draw", {upper.Centre().x, BaselineCentredOn(lower.top, kTitleFont)},
                    Anchor::Middle, kTitleFont, kBlack);
        return;
    }

    // A month either side, more for a long history, so no mark sits on
    // the frame.
    const double firstDay = static_cast<double>(entries_.front().first);
    const double lastDay = static_cast<double>(entries_.back().first);
    const double pad = std::max(30.0, 0.05 * (lastDay - firstDay));
    const DateAxis dates{firstDay - pad, lastDay + pad, upper};

    const Ranges ranges = RangesOf(entries_);
    const ValueAxis margins = ChooseValues(ranges.marginLow, ranges.marginHigh, upper, false);
    const ValueAxis uncertainty = ChooseValues(0, ranges.uHigh, lower, true);
    DrawValueGrid(canvas, margins, marginTitle_);
    DrawValueGrid(canvas, uncertainty, "Standard uncertainty (dB)");
    DrawDateGrid(canvas, dates, upper, lower);
    // The tolerance's edge: below it, the network was outside somewhere.
    canvas.Line({upper.left, margins.Y(0)}, {upper.Right(), margins.Y(0)}, kEdgeLine);
    canvas.StrokeRect(upper, kFrame);
    canvas.StrokeRect(lower, kFrame);

    canvas.ClipTo(WithMarks(upper));
    DrawSeries(
        canvas, entries_, dates, margins, [](const TrendEntry& e) { return e.worstMargin; }, kMarginPen);
    canvas.Unclip();
    canvas.ClipTo(WithMarks(lower));
    for (std::size_t b = 0; b < bandNames_.size(); ++b)
        DrawSeries(
            canvas, entries_, dates, uncertainty, [b](const TrendEntry& e) { return e.bandUncertaintyDb[b]; },
            BandPen(b));
    canvas.Unclip();
    DrawTrendLegend(canvas, bandNames_, size.width);
}

std::string TrendPlot::Svg() const {
    SvgCanvas canvas(kFileSize, kDescription);
    Draw(canvas);
    return canvas.Finish();
}

}  // namespace quillet::plot
