#include "engine/exact_extremes.h"

#include <cmath>

#include "engine/an_types.h"
#include "engine/complex_math.h"
#include "engine/elementary.h"

namespace quillet {

std::complex<double> Reflection(std::complex<double> impedance, double reference) {
    return Quotient(impedance - reference, impedance + reference);
}

// With u on the unit circle (the conjugate of the EUT reflection), the ratio
// |1 - Ge Gn| / |1 - Ge Gm| is |u - Gn| / |u - Gm|. The map u -> (u - Gn) /
// (u - Gm) takes the unit circle to a circle with centre
// (1 - Gn conj(Gm)) / (1 - |Gm|^2) and radius |Gn - Gm| / (1 - |Gm|^2); the
// extremes of the modulus are |centre| + radius and |centre| - radius.
std::optional<Extremes> ExactExtremes(std::complex<double> measured, double frequencyMHz, std::int16_t anType) {
    const double z0 = AnType(anType).referenceImpedanceOhm;
    const std::complex<double> gm = Reflection(measured, z0);
    const std::complex<double> gn = Reflection(NominalImpedance(anType, frequencyMHz), z0);
    const double gmSquared = std::norm(gm);
    // No positive real part reflects everything or more; judged on the
    // impedance, as a rounded |Gm| can fall just short of 1.
    if (!(measured.real() > 0.0) || !(gmSquared < 1.0))
        return std::nullopt;

    const double k = Abs(1.0 - gn * std::conj(gm)) + Abs(gn - gm);
    const double largest = k / (1.0 - gmSquared);
    const double smallest = (1.0 - std::norm(gn)) / k;
    const double scale = Abs(1.0 + gm) / Abs(1.0 + gn);
    static const double decibelsPerNeper = 20.0 / elementary::Log(10.0);
    const double highest = decibelsPerNeper * elementary::Log(scale * largest);
    const double lowest = decibelsPerNeper * elementary::Log(scale * smallest);
    if (!std::isfinite(highest) || !std::isfinite(lowest))
        return std::nullopt;
    return Extremes{highest, lowest};
}

}  // namespace quillet
