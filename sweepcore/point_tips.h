// Why a cell of the points table stands out, as its tip: a deviation the
// calculator worked out at its limits, a point outside the tolerance.
#pragma once

#include <string>

#include "sweep/evaluation.h"

namespace quillet::sweepcore {

// Empty where the cell has nothing to say; column is a sweep::TableColumn.
std::string PointCellTip(const sweep::EvaluatedPoint& point, int column);

}  // namespace quillet::sweepcore
