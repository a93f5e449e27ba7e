// The values every handler of the window shares.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

// The keys typed into one input box since it was last left.
struct EntryState {
    std::string EntryBuffer;
    bool PointTyped = false;
    bool MinusTyped = false;
};

struct Module34 {
    double Frequency = 0.0;  // MHz
    double Magnitude = 0.0;  // ohm
    double Phase = 0.0;      // degrees from the entry fields, radians after a calculation
    std::int16_t AnType = 0; // 1..4 once the window has loaded
    EntryState MagnitudeEntry;
    EntryState FrequencyEntry;
    EntryState PhaseEntry;
};

}  // namespace quillet
