#include "plot/legend.h"

#include "plot/plot_style.h"

namespace quillet::plot {

void DrawLegend(Canvas& canvas, double pictureWidth, std::span<const std::vector<LegendEntry>> rows, double y) {
    constexpr double kSymbol = 22, kGap = 6, kSpacing = 22;
    for (const std::vector<LegendEntry>& row : rows) {
        double width = kSpacing * static_cast<double>(row.size() - 1);
        for (const LegendEntry& entry : row)
            width += kSymbol + kGap + TextWidth(entry.label, kLabelFont);
        double x = (pictureWidth - width) / 2;
        for (const LegendEntry& entry : row) {
            switch (entry.symbol) {
            case LegendEntry::Symbol::Band: canvas.FillRect({x, y - 5, kSymbol, 10}, entry.fill); break;
            case LegendEntry::Symbol::Line: canvas.Line({x, y}, {x + kSymbol, y}, entry.pen); break;
            case LegendEntry::Symbol::Circle: canvas.Circle({x + kSymbol / 2, y}, entry.radius, entry.pen); break;
            }
            x += kSymbol + kGap;
            canvas.Text(entry.label, {x, y + Ascent(kLabelFont) / 2 - 1}, Anchor::Start, kLabelFont, kBlack);
            x += TextWidth(entry.label, kLabelFont) + kSpacing;
        }
        y += 16;
    }
}

}  // namespace quillet::plot
