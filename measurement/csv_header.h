// Reading what a header line of delimited text says about its columns:
// "Frequency (Hz)", "|Z| (ohm)", "Phase [deg]", "Re(S11)", "Z0=75"...
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "measurement/csv_columns.h"

namespace quillet::measurement {

// How every message about the columns ends.
inline constexpr std::string_view kOrColumns =
    "; or state the columns with --columns, e.g. --columns f:Hz,mag:ohm,phase:deg";

// The columns that the header's cells name, checked to make one frequency
// and one complete pair. Throws std::invalid_argument naming the column
// that is not understood, missing or doubled, and how to state it.
CsvColumns ColumnsFromHeader(const std::vector<std::string>& cells);

// True when a remark names a frequency beside a unit or a quantity, as a
// header written as a comment does ("# Frequency (Hz), |Z| (ohm), ...",
// "# freq s11_mag s11_phase"); "# swept 150 kHz to 30 MHz" is just a remark.
bool LooksLikeCommentHeader(std::string_view text);

// The reference a text states as "Z0=75", "Z0: 75 Ohm", "Z0,75" or
// "Reference impedance = 75", if any. Throws std::invalid_argument for a
// Z0 without a usable value.
std::optional<double> StatedReference(std::string_view text);

// The first network parameter a text names as a word of its own, as
// written ("S11", "S21", "Y11"), if any; Z11 is the impedance itself and
// is passed over.
std::optional<std::string> ParameterNamed(std::string_view text);

}  // namespace quillet::measurement
