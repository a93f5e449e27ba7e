#include "plot/frequency_axis.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "plot/axis_math.h"
#include "plot/plot_style.h"
#include "sweep/evaluation.h"

namespace quillet::plot {
namespace {

// Labelled where `labels` and there is a label.
void DrawFrequencyLine(Canvas& canvas, const FrequencyScale& scale, double frequencyMHz, const Pen& pen,
                       const std::string& label, bool labels) {
    if (!std::isfinite(frequencyMHz))
        return;  // a decade past the largest double, at the top of the range
    const double x = scale.X(frequencyMHz);
    canvas.Line({x, scale.area.top}, {x, scale.area.Bottom()}, pen);
    if (labels && !label.empty())
        canvas.Text(label, {x, scale.area.Bottom() + 4 + Ascent(kLabelFont)}, Anchor::Middle, kLabelFont, kBlack);
}

// A zoomed axis seldom starts or ends at a decade. Over a decade or more
// the lines stay at 1 to 9 times a power of ten, labelled at 1, 2 and 5
// while few decades are shown; within a decade the axis is nearly linear
// and takes evenly spaced lines.
void DrawZoomedFrequencyGrid(Canvas& canvas, const FrequencyScale& scale, bool labels) {
    const double span = scale.decadeTo - scale.decadeFrom;
    const double from = Pow10(scale.decadeFrom), to = Pow10(scale.decadeTo);
    const auto inside = [&](double f) { return f >= from * (1 - 1e-12) && f <= to * (1 + 1e-12); };
    if (span >= 1.0) {
        for (double decade = std::floor(scale.decadeFrom); decade <= std::ceil(scale.decadeTo); decade += 1) {
            const double f = Pow10(decade);
            for (int k = 1; k <= 9; ++k) {
                const bool labelled = k == 1 || (span <= 2.5 && (k == 2 || k == 5));
                if (inside(k * f))
                    DrawFrequencyLine(canvas, scale, k * f, k == 1 ? kGrid : kMinorGrid,
                                      labelled ? sweep::SignificantText(k * f) : std::string(), labels);
            }
        }
        return;
    }
    const double step = NiceStep(to - from);
    for (double n = std::ceil(from / step); n * step <= to * (1 + 1e-12); n += 1)
        DrawFrequencyLine(canvas, scale, n * step, kGrid, sweep::SignificantText(n * step), labels);
}

}  // namespace

double FrequencyScale::X(double frequencyMHz) const {
    return area.left + (Log10(frequencyMHz) - decadeFrom) / (decadeTo - decadeFrom) * area.width;
}

FrequencyScale ChooseFrequencyScale(double fromMHz, double toMHz, const std::optional<FrequencyRange>& zoom,
                                    const Rect& area) {
    FrequencyScale scale{};
    scale.area = area;
    if (zoom) {
        scale.decadeFrom = Log10(zoom->fromMHz);
        scale.decadeTo = Log10(zoom->toMHz);
        scale.zoomed = true;
        return scale;
    }
    scale.decadeFrom = DecadeOf(fromMHz);
    const int below = DecadeOf(toMHz);
    scale.decadeTo = Pow10(below) == toMHz ? below : below + 1;
    if (scale.decadeTo <= scale.decadeFrom)
        scale.decadeTo = scale.decadeFrom + 1;
    return scale;
}

void DrawFrequencyGrid(Canvas& canvas, const FrequencyScale& scale, bool labels) {
    if (scale.zoomed) {
        DrawZoomedFrequencyGrid(canvas, scale, labels);
        return;
    }
    for (double decade = scale.decadeFrom; decade <= scale.decadeTo; decade += 1) {
        const double f = Pow10(decade);
        DrawFrequencyLine(canvas, scale, f, kGrid, sweep::ShortestText(f), labels);
        if (decade == scale.decadeTo)
            break;
        for (int k = 2; k <= 9; ++k)
            DrawFrequencyLine(canvas, scale, k * f, kMinorGrid, {}, labels);
    }
}

double NiceStep(double span) {
    const double raw = span / 6.0;
    const double decade = Pow10(DecadeOf(raw));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * decade >= raw)
            return factor * decade;
    }
    return 10.0 * decade;
}

std::string TickText(double value, double step) {
    const int decimals = std::max(0, -DecadeOf(step));
    char text[400];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    double rounded = value;
    std::from_chars(text, written.ptr, rounded);
    return sweep::ShortestText(rounded);
}

}  // namespace quillet::plot
