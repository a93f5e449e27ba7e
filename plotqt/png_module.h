// Qt's PNG painting as a module of its own, which an-sweep loads only when a
// PNG file is asked for: loading Qt's libraries takes longer than a short
// sweep takes to evaluate.
#pragma once

#include <cstddef>
#include <string>

#include "plot/canvas.h"
#include "plot/recorded_drawing.h"

namespace quillet::plotqt {

struct PngJob {
    plot::RecordedDrawing drawing;
    plot::Size size;
    std::string png;  // the file's bytes, once painted
};

// The module's entry, found by this name: paints every job under one
// QGuiApplication on the offscreen platform (no display needed); false,
// with error set, when it could not.
inline constexpr char kPaintPngsEntry[] = "quillet_paint_pngs";
using PaintPngsEntry = bool (*)(PngJob* const* jobs, std::size_t count, std::string& error);
// The Quillet version the module was built with; a program calls only the
// painter of its own version.
inline constexpr char kVersionEntry[] = "quillet_png_module_version";
using PngModuleVersionEntry = const char* (*)();

}  // namespace quillet::plotqt
