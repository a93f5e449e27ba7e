#include "engine/exact_extremes.h"

#include <cmath>

#include "engine/an_types.h"

namespace quillet {

std::complex<double> Reflection(std::complex<double> impedance, double reference) {
    return (impedance - reference) / (impedance + reference);
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
    if (!(gmSquared < 1.0))
        return std::nullopt;

    const double k = std::abs(1.0 - gn * std::conj(gm)) + std::abs(gn - gm);
    const double largest = k / (1.0 - gmSquared);
    const double smallest = (1.0 - std::norm(gn)) / k;
    const double scale = std::abs(1.0 + gm) / std::abs(1.0 + gn);
    const double highest = 20.0 * std::log10(scale * largest);
    const double lowest = 20.0 * std::log10(scale * smallest);
    if (!std::isfinite(highest) || !std::isfinite(lowest))
        return std::nullopt;
    return Extremes{highest, lowest};
}

}  // namespace quillet
