#include "sweepcore/point_tips.h"

#include "sweep/report.h"

namespace quillet::sweepcore {

std::string PointCellTip(const sweep::EvaluatedPoint& point, int column) {
    if (point.inputsClamped && column == sweep::kDeviationColumn)
        return "Beyond the calculator's limits: the calculator shows the result for the limit";
    if (!point.withinTolerance)
        return "Outside the tolerance (" + sweep::ToleranceText() + ")";
    return {};
}

}  // namespace quillet::sweepcore
