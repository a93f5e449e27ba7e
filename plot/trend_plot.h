// A network's verifications over time, drawn onto any canvas: the worst
// margin to the tolerance's edge above, each band's standard uncertainty
// below, on one axis of dates; the verdict of each shown by its mark.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/canvas.h"

namespace quillet::plot {

struct TrendEntry {
    std::string day;  // of the measurement, YYYY-MM-DD
    std::optional<double> worstMargin;
    // One per band name of the plot; none where the band was unbounded or
    // not measured.
    std::vector<std::optional<double>> bandUncertaintyDb;
    bool passed = false;
    bool withdrawn = false;  // shown, but apart from the trend
};

class TrendPlot {
public:
    // marginTitle: the upper axis' title, which says the margin's unit.
    TrendPlot(std::string title, std::vector<std::string> bandNames, std::string marginTitle);

    // In any order; an entry whose day is not a calendar day is left out.
    void Add(TrendEntry entry);

    void Draw(Canvas& canvas, Size size = kFileSize) const;
    static constexpr Size kFileSize{800, 520};
    static constexpr std::string_view kDescription = "AN verification history";
    std::string Svg() const;

private:
    std::string title_;
    std::vector<std::string> bandNames_;
    std::string marginTitle_;
    std::vector<std::pair<long long, TrendEntry>> entries_;  // by day number, oldest first
};

// Days since 1970-01-01 of a YYYY-MM-DD calendar day; none for other text.
std::optional<long long> DayNumber(std::string_view isoDay);

}  // namespace quillet::plot
