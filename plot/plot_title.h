// The title every plot of a measurement carries: the AN type and the
// measurement file's name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::plot {

// The file's name without its folders, as either system writes them.
std::string_view FileName(std::string_view source);

// "AN type N: caption  (file)", with the file's name shortened in its
// middle where the whole would not fit the width, so the AN type always
// shows.
std::string PlotTitle(std::int16_t anType, std::string_view source, double width);

}  // namespace quillet::plot
