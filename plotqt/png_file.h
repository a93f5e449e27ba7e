// The plots as PNG files, painted by Qt.
#pragma once

#include <string>

#include "plot/deviation_plot.h"
#include "plot/impedance_plot.h"

namespace quillet::plotqt {

// The file's bytes, at the files' size. Needs a QGuiApplication (its fonts);
// throws std::runtime_error without one or when encoding fails.
std::string PngOf(const plot::DeviationPlot& plot);
std::string PngOf(const plot::ImpedancePlot& plot);

}  // namespace quillet::plotqt
