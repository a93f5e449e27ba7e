// The deviation of a sweep against frequency, as SVG or PNG.
#pragma once

#include <string>

#include "evaluation.h"

namespace quillet::sweep {

// Draws an 800 x 500 picture: the calculator's deviation as a line, the
// exact highest and lowest cases as a band, the points outside the
// tolerance marked, on a logarithmic frequency axis. The file's ending
// picks the format. Needs a QGuiApplication. Throws std::runtime_error.
void DrawDeviationPlot(const Evaluation& evaluation, const std::string& path, const std::string& source);

}  // namespace quillet::sweep
