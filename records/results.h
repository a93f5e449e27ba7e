// A verification's results worked out from the measurement file's bytes,
// and the same done again later to show that the record still holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.h"

namespace quillet::records {

// Reads the measurement from the bytes (the file name gives the format, as
// on the command line), evaluates every point for the AN type and judges
// it under the decision rule the uncertainty gives (none: simple
// acceptance). Throws measurement::ReadError.
Results EvaluateMeasurement(std::string_view bytes, const std::string& fileName, std::int16_t anType,
                            const std::optional<Uncertainty>& uncertainty);

// A worst margin as records show it, to three decimals: "-0.438"; "-"
// without one.
std::string MarginText(const std::optional<double>& margin);

// What differs between two results, by name; empty when they are identical
// to the last bit and byte.
std::vector<std::string> Differences(const Results& stored, const Results& fresh);

}  // namespace quillet::records
