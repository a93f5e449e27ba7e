// The command line of an-sweep.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "measurement/read_measurement.h"
#include "sweep/budget.h"
#include "sweep/report.h"

namespace quillet::app {

struct Options {
    std::string input;  // "-": standard input
    measurement::ReadOptions readOptions;
    std::int16_t anType = 1;
    sweep::ReportFormat format = sweep::ReportFormat::Table;
    std::optional<std::string> output;
    std::optional<std::string> plot;           // ends in .svg or .png
    std::optional<std::string> impedancePlot;  // ends in .svg or .png
    std::optional<std::string> budget;         // the budget lines as CSV
    std::vector<sweep::Band> bands = sweep::DefaultBands();
    sweep::DecisionRule rule;  // guarded with --uncertainty
    bool check = false;
    bool listTypes = false;
    bool help = false;
    bool version = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program's name. Throws UsageError.
Options ParseOptions(const std::vector<std::string>& arguments);

// The help text, made from the options.
std::string UsageText();

}  // namespace quillet::app
