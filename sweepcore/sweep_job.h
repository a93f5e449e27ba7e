// Reading and evaluating a measurement away from the window's thread, so a
// long sweep neither freezes the window nor ends up half shown.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "measurement/measurement.h"
#include "measurement/read_measurement.h"
#include "plot/deviation_plot.h"
#include "plot/impedance_plot.h"
#include "sweep/evaluation.h"

namespace quillet::sweepcore {

// One file evaluated for one AN type, complete.
struct SweepResult {
    std::string source;  // the file as the reports name it
    std::shared_ptr<const measurement::Measurement> measured;
    std::shared_ptr<const sweep::Evaluation> evaluation;
    std::shared_ptr<const plot::DeviationPlot> plot;           // the whole sweep, as an-sweep draws it
    std::shared_ptr<const plot::ImpedancePlot> impedancePlot;  // likewise
    std::vector<sweep::BudgetLine> budget;                     // of the default bands, as an-sweep reports them
};

// Called now and then with the points done so far; total is 0 while the
// file is still being read.
using ProgressFunction = std::function<void(std::size_t done, std::size_t total)>;

// Reads the file (unless the points of an earlier reading are given) and
// evaluates every point for the AN type, with the budget lines. Nothing
// when cancelled, checked between points and between bands. Throws measurement::ReadError for a file that cannot be
// read, with the message an-sweep prints for it.
std::optional<SweepResult> EvaluateSweep(const std::string& path, std::int16_t anType,
                                         std::shared_ptr<const measurement::Measurement> measured,
                                         const std::atomic<bool>& cancelled, const ProgressFunction& progress,
                                         const measurement::ReadOptions& options = {});

}  // namespace quillet::sweepcore
