// The plot's one source of text metrics: DejaVu Sans's own advance widths,
// built in, so a text takes the same room in every build and on every
// surface, whatever fonts the machine has.
#pragma once

#include <string_view>

#include "plot/canvas.h"

namespace quillet::plot {

// The family surfaces ask for first; its metrics are the ones below.
constexpr std::string_view kFontFamily = "DejaVu Sans";

// The advance of UTF-8 text (without kerning); a character the table does
// not have takes the width of a digit.
double TextWidth(std::string_view text, const Font& font);
// Above and below the baseline.
double Ascent(const Font& font);
double Descent(const Font& font);

}  // namespace quillet::plot
