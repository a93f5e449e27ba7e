// Rows of the points table as a spreadsheet takes them from the clipboard.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sweep/evaluation.h"

namespace quillet::sweep {

// The table's header, then one line per point in the order given, the
// cells separated by tabs; every line ends in a line feed.
std::string TabSeparatedRows(const EvaluatedPoints& points, const std::vector<std::size_t>& pointIndexes);

}  // namespace quillet::sweep
