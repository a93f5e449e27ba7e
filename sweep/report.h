// The evaluated sweep as text: an aligned table for a terminal, CSV or JSON.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "sweep/evaluation.h"

namespace quillet::sweep {

enum class ReportFormat { Table, Csv, Json };

// Writes the report row by row as the points are evaluated; memory does not
// grow with the sweep. Throws std::runtime_error.
class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    virtual void Row(const EvaluatedPoint& point) = 0;
    virtual void Finish(const Summary& summary) = 0;
};

std::unique_ptr<ReportWriter> MakeReportWriter(ReportFormat format, std::ostream& out, std::int16_t anType,
                                               const std::string& source);

// A whole evaluation at once.
std::string WriteReport(const Evaluation& evaluation, ReportFormat format, const std::string& source);

}  // namespace quillet::sweep
