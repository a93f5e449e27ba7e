#include "engine/complex_math.h"

#include <cmath>
#include <numbers>

#include "engine/elementary.h"

namespace quillet {

double Abs(std::complex<double> z) { return elementary::Hypot(z.real(), z.imag()); }

double Arg(std::complex<double> z) { return elementary::Atan2(z.imag(), z.real()); }

std::complex<double> Polar(double magnitude, double radians) {
    return {magnitude * elementary::Cos(radians), magnitude * elementary::Sin(radians)};
}

std::complex<double> PolarDegrees(double magnitude, double degrees) {
    // The angle within +-45 degrees of a whole number of quarter turns; the
    // subtraction is exact, as the two are within a factor of two.
    const double turn = std::fmod(degrees, 360.0);
    const double quarters = std::round(turn / 90.0);
    const double radians = (turn - 90.0 * quarters) * std::numbers::pi / 180.0;
    const double c = elementary::Cos(radians), s = elementary::Sin(radians);
    switch ((static_cast<int>(quarters) % 4 + 4) % 4) {
    case 1: return {-magnitude * s, magnitude * c};
    case 2: return {-magnitude * c, -magnitude * s};
    case 3: return {magnitude * s, -magnitude * c};
    default: return {magnitude * c, magnitude * s};
    }
}

// Smith's division: the larger part of the divisor divided out first, so
// nothing overflows that the quotient does not.
std::complex<double> Quotient(std::complex<double> a, std::complex<double> b) {
    const double ar = a.real(), ai = a.imag(), br = b.real(), bi = b.imag();
    if (std::fabs(br) >= std::fabs(bi)) {
        const double ratio = bi / br;
        const double d = br + bi * ratio;
        return {(ar + ai * ratio) / d, (ai - ar * ratio) / d};
    }
    const double ratio = br / bi;
    const double d = bi + br * ratio;
    return {(ar * ratio + ai) / d, (ai * ratio - ar) / d};
}

}  // namespace quillet
