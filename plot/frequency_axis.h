// The logarithmic frequency axis the plots share: its range, where a
// frequency lies on it, and its grid and labels.
#pragma once

#include <optional>
#include <string>

#include "plot/canvas.h"

namespace quillet::plot {

// A stretch of the frequency axis, lowest first, both above 0 MHz.
struct FrequencyRange {
    double fromMHz, toMHz;
};

struct FrequencyScale {
    double decadeFrom, decadeTo;  // log10 of the frequency range
    bool zoomed;                  // the frequency range was chosen, not rounded to decades
    Rect area;                    // where the data are drawn

    double X(double frequencyMHz) const;
};

// Over a zoomed range, or the data's range rounded out to whole decades.
FrequencyScale ChooseFrequencyScale(double fromMHz, double toMHz, const std::optional<FrequencyRange>& zoom,
                                    const Rect& area);

// The vertical grid lines across the area, labelled under it when `labels`.
void DrawFrequencyGrid(Canvas& canvas, const FrequencyScale& scale, bool labels = true);

// A step for about six ticks over a span: 1, 2 or 5 times a power of ten.
double NiceStep(double span);
// A tick's value to the step's last digit: 0.6, never 0.6000000000000001.
std::string TickText(double value, double step);

}  // namespace quillet::plot
