// One-port Touchstone files: version 1 (.s1p) and versions 2.0 and 2.1
// ([Version] 2.x with [Number of Ports] 1).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "measurement/measurement.h"

namespace quillet::measurement {

// True for a line that is an option line ('#' and then only units,
// parameters, formats, R and numbers); a '#' line with other words is a
// remark.
bool IsOptionLine(std::string_view line);

// file names the source in error messages.
std::unique_ptr<LineReader> MakeTouchstoneReader(const std::string& file, PointSink& sink);

}  // namespace quillet::measurement
