#include "engine/an_types.h"

#include <numbers>

#include "engine/complex_math.h"

namespace quillet {

const AnTypeInfo& AnType(std::int16_t number) { return kAnTypes.at(static_cast<std::size_t>(number - 1)); }

std::complex<double> NominalImpedance(std::int16_t anType, double frequencyMHz) {
    const AnTypeInfo& type = AnType(anType);
    if (type.inductanceMicrohenry == 0.0)
        return type.referenceImpedanceOhm;
    // MHz times microhenry gives ohm. The true pi: this is the impedance
    // the measurement is checked against, not the calculator's sweep.
    const std::complex<double> branch(type.seriesResistanceOhm,
                                      2.0 * std::numbers::pi * frequencyMHz * type.inductanceMicrohenry);
    return Quotient(kParallelResistanceOhm * branch, kParallelResistanceOhm + branch);
}

}  // namespace quillet
