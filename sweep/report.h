// The evaluated sweep as text: an aligned table for a terminal, CSV or JSON.
#pragma once

#include <string>

#include "evaluation.h"

namespace quillet::sweep {

enum class ReportFormat { Table, Csv, Json };

std::string WriteReport(const Evaluation& evaluation, ReportFormat format, const std::string& source);

}  // namespace quillet::sweep
