// The complex operations the evaluation of a measured point needs, from
// IEEE operations and the engine's own functions, so that every platform
// gives the same bits (a C library's hypot, atan2, sin and cos, and a
// compiler's complex division, need not).
#pragma once

#include <complex>

namespace quillet {

double Abs(std::complex<double> z);
double Arg(std::complex<double> z);  // in (-pi, pi]
std::complex<double> Polar(double magnitude, double radians);
// Whole quarter turns exactly: a phase of 90 degrees is a pure reactance.
std::complex<double> PolarDegrees(double magnitude, double degrees);
std::complex<double> Quotient(std::complex<double> a, std::complex<double> b);

}  // namespace quillet
