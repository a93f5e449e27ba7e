// The AN's line in an uncertainty budget, per frequency band: from the
// measured points, and beside it the worst AN the tolerance allows there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tolerance_limit.h"

namespace quillet::sweep {

struct EvaluatedPoint;

struct Band {
    double fromMHz;
    double toMHz;
};

// The conducted-emission bands: 9 kHz to 150 kHz and 150 kHz to 30 MHz.
const std::vector<Band>& DefaultBands();

// Bands as "FROM-TO,FROM-TO" in MHz ("0.009-0.15,0.15-30"). Throws
// std::invalid_argument saying what is wrong.
std::vector<Band> ParseBands(std::string_view text);

// The measured points of one band, as they come. A point on the edge
// between two bands counts in both: a budget for either must cover it.
struct BandTally {
    Band band;
    std::size_t points = 0;
    double firstMHz = 0;  // of the points in the band
    double lastMHz = 0;
    WorstFigures measured;

    void Add(const EvaluatedPoint& point);
};

struct BudgetLine {
    Band band;
    std::size_t points;
    WorstFigures measured;
    WorstFigures toleranceLimit;  // over the band's measured frequencies, from first to last
};

// One line per band that has points, in the bands' order.
std::vector<BudgetLine> BudgetLines(const std::vector<BandTally>& bands, std::int16_t anType);

// The lines as CSV, one per band, for a budget spreadsheet.
std::string BudgetCsv(const std::vector<BudgetLine>& lines);

// The lines as text under a report's summary.
std::vector<std::string> BudgetText(const std::vector<BudgetLine>& lines);

// The pieces of that text, for showing a line some other way than as text.
// The figures by name, in the order the text gives them:
struct NamedFigure {
    const char* name;  // "highest", "largest |mean|", ...
    std::optional<WorstFigure> WorstFigures::*figure;
};
const std::array<NamedFigure, 5>& BudgetFigures();
// A band as the text heads it: "0.15 to 30 MHz, 201 point(s)".
std::string BandText(const BudgetLine& line);
// A figure in dB as the calculator rounds its deviation: "1.23".
std::string Decibels(double db);
// One figure: "1.23 dB at 0.15 MHz", in dB as the calculator rounds its
// deviation.
std::string FigureText(const WorstFigure& figure);
// Where the figures have no bound: "unbounded from 2 MHz".
std::string UnboundedText(double fromMHz);

}  // namespace quillet::sweep
