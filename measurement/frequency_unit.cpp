#include "measurement/frequency_unit.h"

#include <string>

#include "measurement/text_lines.h"

namespace quillet::measurement {

std::optional<FrequencyUnit> FrequencyUnitNamed(std::string_view name) {
    const std::string lower = Lowercase(name);
    if (lower == "hz")
        return FrequencyUnit::Hz;
    if (lower == "khz")
        return FrequencyUnit::kHz;
    if (lower == "mhz")
        return FrequencyUnit::MHz;
    if (lower == "ghz")
        return FrequencyUnit::GHz;
    return std::nullopt;
}

double InMegahertz(double value, FrequencyUnit unit) {
    switch (unit) {
    case FrequencyUnit::Hz: return value / 1e6;
    case FrequencyUnit::kHz: return value / 1e3;
    case FrequencyUnit::MHz: return value;
    case FrequencyUnit::GHz: return value * 1e3;
    }
    return value;
}

}  // namespace quillet::measurement
