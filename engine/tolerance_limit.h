// The worst AN the usual tolerance still allows: over every impedance within
// +-20 % in magnitude and +-11.5 degrees in phase of the nominal one, at
// every frequency of a range, the highest and lowest exact deviation and
// the largest |mean|, standard deviation and rms over the EUT phase, each
// at its own worst. This is the figure a lab would have to use without
// measuring its AN.
#pragma once

#include <cstdint>
#include <optional>

namespace quillet {

struct WorstFigure {
    double db;
    double atMHz;
};

// The worst of each figure with its frequency, over measured points or over
// the tolerance region.
struct WorstFigures {
    // None where the deviation is unbounded (a reflection coefficient of
    // magnitude 1 or more); then unboundedAtMHz names the lowest such
    // frequency found.
    std::optional<WorstFigure> highest;
    std::optional<WorstFigure> lowest;
    std::optional<WorstFigure> largestAbsMean;
    std::optional<WorstFigure> largestStandardDeviation;
    std::optional<WorstFigure> largestRms;
    std::optional<double> unboundedAtMHz;
};

// fromMHz <= toMHz, both above 0.
WorstFigures WorstWithinTolerance(double fromMHz, double toMHz, std::int16_t anType);

}  // namespace quillet
