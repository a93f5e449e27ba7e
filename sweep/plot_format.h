// The picture formats the deviation plot is written in.
#pragma once

#include <optional>
#include <string_view>

namespace quillet::sweep {

enum class PlotFormat { Png, Svg };

// From a file name ending in .png or .svg, in any case; nothing otherwise.
std::optional<PlotFormat> PlotFormatFromFileName(std::string_view fileName);

}  // namespace quillet::sweep
