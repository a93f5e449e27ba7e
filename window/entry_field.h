// What sets the three input boxes apart; everything else they share.
#pragma once

#include <cstdint>

#include "window/module34.h"
#include "window/window_interface.h"

namespace quillet {

struct EntryField {
    TextBox box;
    std::int32_t lower;  // inclusive limits; whole numbers, written by NumberText
    std::int32_t upper;
    EntryState Module34::*entry;
    double Module34::*value;  // receives the value read back; none for the magnitude
};

inline constexpr EntryField kFrequencyField{TextBox::TxtFrequency, 0, 500000, &Module34::FrequencyEntry,
                                            &Module34::Frequency};
inline constexpr EntryField kMagnitudeField{TextBox::TxtMagnitude, 0, 500, &Module34::MagnitudeEntry, nullptr};
inline constexpr EntryField kPhaseField{TextBox::TxtPhase, -360, 360, &Module34::PhaseEntry, &Module34::Phase};

// What a calculation takes for a frequency (MHz) or magnitude (ohm) of 0,
// which the limits allow: a zero would divide by zero (frequency, AN type
// 2) or end in the logarithm of zero (magnitude).
inline constexpr double kZeroStandIn = 1e-6;

}  // namespace quillet
