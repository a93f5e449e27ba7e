// A Touchstone file that a spreadsheet opened and saved as delimited text:
// its option line became cells ("#,MHz,S,MA,R,50") and so did its data.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "measurement/csv_fields.h"
#include "measurement/measurement.h"

namespace quillet::measurement {

// The separator of a line that is a Touchstone option line written as
// cells and naming a frequency unit or a format; nothing for any other
// line.
std::optional<Separator> OptionLineInCells(std::string_view line);

// True for a Touchstone option line that names a frequency unit or a
// format, written with blanks or as cells; "# 201" is a remark.
bool NamesTouchstoneOptions(std::string_view line);

// Reads such a file as the Touchstone file it was: each line's cells are
// handed on as the blank-separated words they stood for (with semicolons
// or tabs between the cells, a comma is a decimal comma).
std::unique_ptr<LineReader> MakeTouchstoneCellsReader(const std::string& file, PointSink& sink, Separator separator);

}  // namespace quillet::measurement
