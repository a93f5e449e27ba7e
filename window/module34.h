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

// The calculator's state, shared by the handlers of its window.
struct Module34 {
    double Frequency = 0.0;  // MHz
    double Magnitude = 0.0;  // ohm
    // Degrees as the entry fields read them back; radians once "Calculate"
    // has converted it for the sweep.
    double Phase = 0.0;
    std::int16_t AnType = 0;  // 1..4 once the window has loaded
    EntryState MagnitudeEntry;
    EntryState FrequencyEntry;
    EntryState PhaseEntry;
};

}  // namespace quillet
