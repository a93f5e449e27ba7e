// Reading a measured sweep from a file, standard input or bytes in memory:
// the reader is chosen by the file's ending or its first line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "measurement/csv_columns.h"
#include "measurement/measurement.h"

namespace quillet::measurement {

struct ReadOptions {
    std::optional<CsvColumns> columns;  // --columns, for delimited text
};

// The name under which standard input is read.
inline constexpr std::string_view kStandardInput = "-";

// How messages and reports name a file: standard input by that name.
std::string SourceName(const std::string& path);

// Reads a measurement point by point from a file ("-": standard input;
// pipes work, nothing is sought). The format is found from the file name's
// ending (.s1p and .ts Touchstone, .csv and .txt delimited text) or, for
// other endings and standard input, from the content. Bytes are taken as
// UTF-8, Windows-1252 where a line is not UTF-8, or UTF-16 after its
// byte-order mark. Throws ReadError.
void ReadMeasurementFile(const std::string& path, const ReadOptions& options, PointSink& sink);

// The same for bytes in memory, collecting the points; file names the
// source in messages and gives the ending.
Measurement ReadMeasurement(std::string_view bytes, const std::string& file, const ReadOptions& options = {});
Measurement ReadMeasurementFile(const std::string& path, const ReadOptions& options = {});

}  // namespace quillet::measurement
