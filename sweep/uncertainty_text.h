// The measurement uncertainty as people type it, in a dialog's three fields
// or as a command line's "2.5%,1.5": each figure a decimal number (never the
// C locale's: a comma is no decimal point here), with spaces around it
// allowed and no sign.
#pragma once

#include <optional>
#include <string_view>

#include "sweep/verdict.h"

namespace quillet::sweep {

// A decimal number, finite and not negative ("2.5", "2e-1"); none for
// anything else.
std::optional<double> NonNegativeNumber(std::string_view text);

// The figures: the magnitude in % of the measured magnitude (a trailing %
// allowed) and the phase in degrees, each 0 or more; the coverage factor k
// above 0. None when the text is not such a figure.
std::optional<double> UncertaintyMagnitudeOf(std::string_view text);
std::optional<double> UncertaintyPhaseOf(std::string_view text);
std::optional<double> CoverageFactorOf(std::string_view text);

// "MAG[%],PHASE" at the coverage factor given; none unless both figures are
// right.
std::optional<MeasurementUncertainty> MagnitudeAndPhaseOf(std::string_view text, double coverageFactor);

}  // namespace quillet::sweep
