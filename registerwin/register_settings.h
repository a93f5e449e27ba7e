// What the register window remembers per user, beside the sweep windows'
// settings under Software\Quillet of HKEY_CURRENT_USER: the register last
// opened, as a full name. Names are UTF-8 here and wide in the registry.
#pragma once

#include <string>

namespace quillet::registerwin {

// Empty until a register has been opened or started.
std::string RegisterFile();
void SetRegisterFile(const std::string& path);

// %LOCALAPPDATA%\Quillet\cache\measurements, where recorded measurements
// are written for the sweep window to read. Throws std::runtime_error when
// the environment names no such folder.
std::string MeasurementCacheFolder();

}  // namespace quillet::registerwin
