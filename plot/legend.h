// A plot's legend: rows of symbols with their labels, centred under the
// title, outside the data.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "plot/canvas.h"

namespace quillet::plot {

struct LegendEntry {
    enum class Symbol { Band, Line, Circle };
    Symbol symbol;
    std::string_view label;
    Color fill{};       // of a band
    Pen pen{};          // of a line or mark
    double radius = 0;  // of a mark
};

// The first row's centre line at y; each next one 16 px lower.
void DrawLegend(Canvas& canvas, double pictureWidth, std::span<const std::vector<LegendEntry>> rows, double y = 42);

}  // namespace quillet::plot
