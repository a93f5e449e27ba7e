// The four AN types the calculator knows: their captions and the nominal
// impedance each presents at a frequency.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <string_view>

namespace quillet {

struct AnTypeInfo {
    std::int16_t number;          // 1..4, as the calculator's AnType
    std::string_view caption;     // UTF-8, as on the window's options
    double inductanceMicrohenry;  // 0 for the purely resistive type
    double seriesResistanceOhm;
    double referenceImpedanceOhm;  // Z0 of every reflection coefficient of the type
};

inline constexpr std::array<AnTypeInfo, 4> kAnTypes{{
    {1, "50 Ω // 50 µH + 5 Ω", 50.0, 5.0, 50.0},
    {2, "50 Ω // 50 µH", 50.0, 0.0, 50.0},
    {3, "50 Ω // 5 µH + 1 Ω", 5.0, 1.0, 50.0},
    {4, "150 Ω", 0.0, 0.0, 150.0},
}};

// The resistor types 1 to 3 put in parallel with their series branch; it
// equals their reference impedance.
inline constexpr double kParallelResistanceOhm = 50.0;

// The usual tolerance of an AN impedance around its nominal value.
inline constexpr double kMagnitudeTolerance = 0.20;  // +-20 %
inline constexpr double kPhaseToleranceDegrees = 11.5;

// The type with this number; the number must be 1..4.
const AnTypeInfo& AnType(std::int16_t number);

// The nominal impedance in ohm at a frequency in MHz: 50 ohm in parallel
// with R1 + j 2 pi f L for types 1 to 3, 150 ohm for type 4.
std::complex<double> NominalImpedance(std::int16_t anType, double frequencyMHz);

}  // namespace quillet
