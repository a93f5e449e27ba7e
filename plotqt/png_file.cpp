#include "plotqt/png_file.h"

#include "plot/recorded_drawing.h"
#include "plotqt/png_drawing.h"

namespace quillet::plotqt {
namespace {

template <typename Plot>
std::string Png(const Plot& plot) {
    plot::RecordedDrawing drawing;
    plot.Draw(drawing);
    return PngOf(drawing, Plot::kFileSize);
}

}  // namespace

std::string PngOf(const plot::DeviationPlot& plot) { return Png(plot); }
std::string PngOf(const plot::ImpedancePlot& plot) { return Png(plot); }

}  // namespace quillet::plotqt
