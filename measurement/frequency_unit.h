// The frequency units measurement files write, and MHz, the calculator's.
#pragma once

#include <optional>
#include <string_view>

namespace quillet::measurement {

enum class FrequencyUnit { Hz, kHz, MHz, GHz };

// "Hz", "kHz", "MHz" or "GHz" in any case; nothing for another word.
std::optional<FrequencyUnit> FrequencyUnitNamed(std::string_view name);

// Multiplying or dividing by an exact power of ten rounds once, so the
// value is the one the file means, to the last bit.
double InMegahertz(double value, FrequencyUnit unit);

}  // namespace quillet::measurement
