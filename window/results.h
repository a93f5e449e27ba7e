// The result boxes' text for values that cannot be evaluated.
#pragma once

#include "window/window_interface.h"

namespace quillet {

inline constexpr std::string_view kNotValid = "not valid";

// Marks both results as stale: the EUT phase first, then the deviation.
inline void WriteNotValid(WindowInterface& window) {
    window.SetText(TextBox::TxtUncPhase, kNotValid);
    window.SetText(TextBox::TxtMaxUncertainty, kNotValid);
}

}  // namespace quillet
