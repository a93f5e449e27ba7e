#include "plot/value_axis.h"

#include <algorithm>
#include <charconv>

#include "plot/axis_math.h"
#include "sweep/evaluation.h"

namespace quillet::plot {

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
