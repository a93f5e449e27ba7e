#include "sweep/rows_text.h"

#include "sweep/report.h"

namespace quillet::sweep {
namespace {

void AppendLine(std::string& text, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += '\t';
        text += cells[i];
    }
    text += '\n';
}

}  // namespace

std::string TabSeparatedRows(const EvaluatedPoints& points, const std::vector<std::size_t>& pointIndexes) {
    std::string text;
    AppendLine(text, TableHeader());
    for (std::size_t index : pointIndexes)
        AppendLine(text, TableCells(points.at(index)));
    return text;
}

}  // namespace quillet::sweep
