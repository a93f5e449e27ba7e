// Three columns as the calculator's boxes take them: frequency in MHz,
// magnitude in ohm, phase in degrees; comma or semicolon separated, an
// optional header line, the point as decimal separator.
#pragma once

#include <string>
#include <string_view>

#include "measurement.h"

namespace quillet::sweep {

Measurement ReadCsv(std::string_view text, const std::string& file);

}  // namespace quillet::sweep
