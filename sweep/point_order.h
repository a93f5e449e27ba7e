// The order of a sweep's points sorted by a column of the table, for every
// sweep window's table.
#pragma once

#include <cstdint>
#include <vector>

#include "sweep/evaluation.h"

namespace quillet::sweep {

// Point indexes, stably sorted by the column's values (a TableColumn),
// rising or falling; empty for a column below 0, which is the file's own
// order. A result the calculator could not give sorts below every number;
// an unbounded worst case, and the statistics beside it, beyond every bound
// on their side.
std::vector<std::uint32_t> SortedOrder(const EvaluatedPoints& points, int column, bool ascending);

}  // namespace quillet::sweep
