#include "sweep/plot_format.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace quillet::sweep {

std::optional<PlotFormat> PlotFormatFromFileName(std::string_view fileName) {
    if (fileName.size() < 4)
        return std::nullopt;
    std::string ending(fileName.substr(fileName.size() - 4));
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ending == ".png")
        return PlotFormat::Png;
    if (ending == ".svg")
        return PlotFormat::Svg;
    return std::nullopt;
}

}  // namespace quillet::sweep
