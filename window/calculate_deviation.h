// "Calculate": the sweep over the EUT phase on the window's values, its
// results written into the window.
#pragma once

#include <string_view>

#include "window/module34.h"
#include "window/window_interface.h"

namespace quillet {

// The application's title, shown on every message box.
inline constexpr std::string_view kApplicationTitle = "Quillet";

// Shown instead of a result when the entered values cannot be evaluated.
extern const std::string_view kCannotEvaluateMessage;

// Runs the sweep on Frequency, Magnitude, Phase (radians) and AnType of the
// module and writes the deviation, then its EUT phase, into the result boxes
// under the busy pointer. Inputs that cannot be evaluated leave "not valid"
// in both boxes and are explained in a message box once the pointer is back.
void CalculateDeviation(const Module34& module, WindowInterface& window);

}  // namespace quillet
