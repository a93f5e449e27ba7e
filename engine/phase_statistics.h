// The deviation over an unknown EUT phase as a random quantity: its mean,
// standard deviation and root mean square when every phase of an EUT
// reflection coefficient of magnitude 1 is equally likely. These make the
// AN's line in an uncertainty budget; they come from + - * / and square
// roots and the engine's own logarithm, so every platform gives the same
// bits.
#pragma once

#include <complex>
#include <cstdint>
#include <optional>

namespace quillet {

struct PhaseStatistics {
    double meanDb;
    double standardDeviationDb;
    double rmsDb;  // sqrt(mean^2 + standard deviation^2): an uncorrected reading's standard uncertainty
};

// measured: the AN impedance in ohm at frequencyMHz. Nothing where the
// deviation is unbounded, as for ExactExtremes: a reflection coefficient
// of magnitude 1 or more.
std::optional<PhaseStatistics> DeviationStatistics(std::complex<double> measured, double frequencyMHz,
                                                   std::int16_t anType);

}  // namespace quillet
