// PNG files painted by Qt, in the module an-sweep loads only for them.
#pragma once

#include <vector>

#include "plotqt/png_module.h"

namespace quillet::app {

// Loaded before anything is read, so a missing or mismatched painter stops
// the run before it has begun. Throws std::runtime_error naming the module.
class QtPngPainter {
public:
    QtPngPainter();
    // Paints every job at once; throws std::runtime_error with what failed.
    void Paint(const std::vector<plotqt::PngJob*>& jobs) const;

private:
    plotqt::PaintPngsEntry paint_ = nullptr;
};

}  // namespace quillet::app
