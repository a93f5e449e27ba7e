// The look every plot shares: the frame, grid and text colours, and the
// fonts in pixels, so every surface and file comes out alike.
#pragma once

#include "plot/canvas.h"
#include "plot/font_metrics.h"

namespace quillet::plot {

constexpr Color kBlack{0, 0, 0}, kWhite{0xFF, 0xFF, 0xFF};
constexpr Pen kGrid{{0xDD, 0xDD, 0xDD}, 1};
constexpr Pen kMinorGrid{{0xEE, 0xEE, 0xEE}, 1};
constexpr Pen kFrame{kBlack, 1};

constexpr Font kTitleFont{15, true}, kLabelFont{12}, kAxisTitleFont{13};

// The baseline that centres a line of text on y.
inline double BaselineCentredOn(double y, const Font& font) { return y + (Ascent(font) - Descent(font)) / 2; }

}  // namespace quillet::plot
