// A recorded drawing painted by Qt into the bytes of a PNG file.
#pragma once

#include <string>

#include "plot/canvas.h"
#include "plot/recorded_drawing.h"

namespace quillet::plotqt {

// Needs a QGuiApplication (its fonts); throws std::runtime_error without
// one or when encoding fails.
std::string PngOf(const plot::RecordedDrawing& drawing, plot::Size size);

}  // namespace quillet::plotqt
