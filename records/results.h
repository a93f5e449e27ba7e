// A verification's results worked out from the measurement file's bytes,
// and the same done again later to show that the record still holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.h"

namespace quillet::records {

// Reads the measurement from the bytes (the file name gives the format, as
// on the command line) and evaluates every point for the AN type. Throws
// measurement::ReadError.
Results EvaluateMeasurement(std::string_view bytes, const std::string& fileName, std::int16_t anType);

// What differs between two results, by name; empty when they are identical
// to the last bit and byte.
std::vector<std::string> Differences(const Results& stored, const Results& fresh);

}  // namespace quillet::records
