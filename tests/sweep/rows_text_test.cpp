#include "sweep/rows_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measurement/read_measurement.h"
#include "sweep/report.h"

namespace quillet::sweep {
namespace {

std::string Line(const std::vector<std::string>& cells) {
    std::string line;
    for (const std::string& cell : cells)
        line += (line.empty() ? "" : "\t") + cell;
    return line + '\n';
}

// The rows come in the order asked for, each with the table's cells, so a
// sorted table pastes as it is shown.
TEST(TabSeparatedRows, HeaderThenTheRowsInTheOrderGiven) {
    const Evaluation e = Evaluate(measurement::ReadMeasurement("0.15,39.26,54.85\n1,150,0\n30,50,0\n", "t.csv"), 1);
    const std::vector<std::vector<std::size_t>> orders = {{}, {2, 0}, {1}};
    for (const auto& order : orders) {
        std::string expected = Line(TableHeader());
        for (std::size_t index : order)
            expected += Line(TableCells(e.points[index]));
        EXPECT_EQ(TabSeparatedRows(e.points, order), expected) << order.size();
    }
    EXPECT_THROW(TabSeparatedRows(e.points, {3}), std::out_of_range);
}

}  // namespace
}  // namespace quillet::sweep
