// The exact extremes of the deviation over every EUT phase, in closed form.
// The calculator samples the EUT phase on a 0.01 rad grid and can miss a
// sharp peak; this gives the true highest and lowest values.
#pragma once

#include <complex>
#include <cstdint>
#include <optional>

namespace quillet {

struct Extremes {
    double highestDb;
    double lowestDb;
};

// measured: the AN impedance in ohm at frequencyMHz. Nothing when the
// extremes are unbounded: a measured impedance whose reflection coefficient
// has a magnitude of 1 or more (a real part of 0 or less), where some EUT
// phase drives the receiver voltage to infinity.
std::optional<Extremes> ExactExtremes(std::complex<double> measured, double frequencyMHz, std::int16_t anType);

// Reflection coefficient of an impedance against a real reference.
std::complex<double> Reflection(std::complex<double> impedance, double reference);

}  // namespace quillet
