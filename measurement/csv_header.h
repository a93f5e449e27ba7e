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
// How a message ends that does not already say how to write a column.
inline constexpr std::string_view kHowToState =
    "; name each column with its unit, such as 'Frequency (Hz)', '|Z| (ohm)', 'Phase (deg)' or 'S11 (dB)', "
    "or state the columns with --columns, e.g. --columns f:Hz,mag:ohm,phase:deg";

// The columns that the header's cells name, checked to make one frequency
// and one complete pair. Throws std::invalid_argument naming the column
// that is not understood, missing or doubled, and how to state it.
CsvColumns ColumnsFromHeader(const std::vector<std::string>& cells);

// True when a cell reads like a column's name: a unit alone ("kHz"), or at
// most two words besides units, references and numbers, the first naming a
// frequency or a quantity ("Frequency (Hz)", "Re(Z) [Ohm]", "s11_mag").
bool LooksLikeColumnName(std::string_view cell);

// True when cells name columns: two or more of them, and more than half of
// all, look like column names. "# Temperature 23 deg C, frequency sweep
// linear" names none.
bool NameColumns(const std::vector<std::string>& cells);

// A first look at a remark: true when two of its words name a quantity or
// a unit, so that it may name the columns.
bool MayNameColumns(std::string_view text);

// The reference a text states as "Z0=75", "Z0: 75 Ohm", "Z0,75" or
// "Reference impedance = 75", if any. Throws std::invalid_argument for a
// Z0 without a usable value.
std::optional<double> StatedReference(std::string_view text);

// The S-parameters a text names as words of their own ("S21", "S(2,1)",
// "S[1,1]"), as "S11", "S21"...; "S21-100" is a model's number.
std::vector<std::string> ParametersNamed(std::string_view text);

// True for a line that only states a reference, such as a metadata row
// "Z0,75" or "Z0: 75 Ohm".
bool IsReferenceRow(std::string_view line);

}  // namespace quillet::measurement
