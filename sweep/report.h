// The evaluated sweep as text: an aligned table for a terminal, CSV or JSON.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sweep/evaluation.h"

namespace quillet::sweep {

enum class ReportFormat { Table, Csv, Json };

// Writes the report row by row as the points are evaluated; memory does not
// grow with the sweep. Throws std::runtime_error.
class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    // A row's text, from the point alone and safe to make on any thread,
    // so a long sweep's rows are formatted where they are evaluated.
    virtual std::string RowText(const EvaluatedPoint& point) const = 0;
    // The rows in reading order, each as RowText made it.
    virtual void WriteRow(const std::string& rowText) = 0;
    void Row(const EvaluatedPoint& point) { WriteRow(RowText(point)); }
    virtual void Finish(const Summary& summary, const std::vector<BudgetLine>& budget) = 0;
};

// Under the guarded rule each row carries its outcome and margins, and the
// summary the rule, the verdict and the worst margin (the summary's own
// verdict); under simple acceptance the reports are as they always were.
std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, std::ostream& out, std::int16_t anType,
                                               const std::string& source, const DecisionRule& rule = {});

// The aligned table's columns, titles and one row's cells, as the table
// report writes them.
enum TableColumn : int {
    kFrequencyColumn,
    kMagnitudeColumn,
    kPhaseColumn,
    kDeviationColumn,
    kEutPhaseColumn,
    kExactHighColumn,
    kExactLowColumn,
    kMeanColumn,
    kStandardDeviationColumn,
    kRmsColumn,
    kToleranceColumn,  // the outcome under the guarded rule
};
const std::vector<std::string>& TableHeader();
std::vector<std::string> TableCells(const EvaluatedPoint& point, const DecisionRule& rule = {});
// One of them, for a view that draws a cell at a time.
std::string TableCell(const EvaluatedPoint& point, int column, const DecisionRule& rule = {});

// The lines under the table: the worst deviation and where, the worst
// exact case, the points outside the tolerance, under the guarded rule the
// rule, the verdict and the worst margin, and any clamped points.
std::vector<std::string> SummaryLines(const Summary& summary);

// A whole evaluation at once, with its budget lines.
std::string WriteReport(const Evaluation& evaluation, ReportFormat format, const std::string& source);
// The same with the budget lines already worked out (BudgetLines of the
// evaluation's bands), which saves searching the tolerance region again.
std::string WriteReport(const Evaluation& evaluation, const std::vector<BudgetLine>& budget, ReportFormat format,
                        const std::string& source);

}  // namespace quillet::sweep
