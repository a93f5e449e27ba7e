// PNG files painted by Qt, in the module an-sweep loads only for them.
#pragma once

#include <vector>

#include "plotqt/png_module.h"

namespace quillet::app {

// Paints every job at once. Throws std::runtime_error naming the module
// when it cannot be loaded, or what failed.
void PaintPngsWithQt(const std::vector<plotqt::PngJob*>& jobs);

}  // namespace quillet::app
