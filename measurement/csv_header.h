// Reading what a header line of delimited text says about its columns:
// "Frequency (Hz)", "|Z| (ohm)", "Phase [deg]", "Re(S11)", "Z0=75"...
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "measurement/csv_columns.h"

namespace quillet::measurement {

// The columns that the header's cells name, checked to make one frequency
// and one complete pair. Throws std::invalid_argument naming the column
// that is not understood, missing or doubled, and how to state it.
CsvColumns ColumnsFromHeader(const std::vector<std::string>& cells);

// True when a remark names a frequency or its unit, so may be a header
// written as a comment.
bool MentionsFrequency(std::string_view text);

}  // namespace quillet::measurement
