// Delimited text as instruments and spreadsheets write it: a header that
// names each column's quantity and unit, or --columns, or neither (then
// frequency in MHz, magnitude in ohm, phase in degrees).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "measurement/csv_columns.h"
#include "measurement/measurement.h"

namespace quillet::measurement {

// columns: what the user stated with --columns; it overrides a header.
std::unique_ptr<LineReader> MakeCsvReader(const std::string& file, PointSink& sink,
                                          const std::optional<CsvColumns>& columns);

}  // namespace quillet::measurement
