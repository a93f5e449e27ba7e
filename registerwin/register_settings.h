// Where the register window keeps what it writes for the user; the register
// last opened is remembered with the sweep windows' settings
// (sweepwin::RegisterFile).
#pragma once

#include <string>

namespace quillet::registerwin {

// %LOCALAPPDATA%\Quillet\cache\measurements, where recorded measurements
// are written for the sweep window to read. Throws std::runtime_error when
// the environment names no such folder.
std::string MeasurementCacheFolder();

}  // namespace quillet::registerwin
