// The plots as PNG files, painted by GDI+.
#pragma once

#include <string>

#include "plot/deviation_plot.h"
#include "plot/impedance_plot.h"

namespace quillet::plotwin {

// The file's bytes, at the files' size. Throws std::runtime_error when
// GDI+ cannot draw or encode it.
std::string PngOf(const plot::DeviationPlot& plot);
std::string PngOf(const plot::ImpedancePlot& plot);

}  // namespace quillet::plotwin
