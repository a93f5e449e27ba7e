// One-port Touchstone files: version 1 (.s1p) and version 2.0 ([Version] 2.0
// with [Number of Ports] 1).
#pragma once

#include <string>
#include <string_view>

#include "measurement.h"

namespace quillet::sweep {

// file names the source in error messages. Throws ReadError.
Measurement ReadTouchstone(std::string_view text, const std::string& file);

}  // namespace quillet::sweep
