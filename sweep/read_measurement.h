#pragma once

#include <string>
#include <string_view>

#include "measurement.h"

namespace quillet::sweep {

// Reads a measurement by its file name's ending (.s1p and .ts Touchstone,
// .csv and .txt CSV) or, for other endings, by its content. Throws ReadError.
Measurement ReadMeasurement(std::string_view bytes, const std::string& file);

// The same for a file on disk.
Measurement ReadMeasurementFile(const std::string& path);

}  // namespace quillet::sweep
