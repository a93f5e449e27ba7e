// What the calculator shows for a point typed into its boxes, as pure
// functions. The handlers of the window and the sweep of a measured file
// share them, so a measured point is evaluated exactly as the window would
// show it, without a window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/deviation.h"
#include "window/entry_field.h"

namespace quillet {

// The text an input box shows once it is left holding this value: the
// value, or the limit it lies beyond.
struct LeftBox {
    std::string text;
    bool clamped;  // the value lay beyond a limit of the box
};
LeftBox LeaveBox(const EntryField& field, double value);

// What a calculation takes for a frequency or magnitude of 0.
double WithZeroStandIn(double value);

// The numbers "Calculate" takes from the three box texts.
struct CalculationInput {
    double frequencyMHz;
    double magnitudeOhm;
    double phaseRadians;  // converted with the calculator's kPi
    std::int16_t anType;  // 1..4
};
CalculationInput ReadBoxes(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                           std::int16_t anType);

// The two result boxes after a calculation, and the numbers they show.
struct ShownResults {
    std::optional<Deviation> deviation;  // unrounded; none: the inputs cannot be evaluated
    std::string deviationText;           // " 3.61", or "not valid"
    std::string eutPhaseText;
    std::optional<double> shownDeviationDb;  // what the texts read as
    std::optional<double> shownEutPhaseDegrees;
};
ShownResults Calculate(const CalculationInput& input);

// The window after each text has been entered into its box, the box left,
// the AN type selected and "Calculate" pressed.
struct ShownPoint {
    std::array<double, 3> typed;   // what each typed text reads as: frequency, magnitude, phase
    std::array<LeftBox, 3> boxes;  // what each box shows once left
    CalculationInput used;
    ShownResults results;

    bool AnyClamped() const { return boxes[0].clamped || boxes[1].clamped || boxes[2].clamped; }
};
ShownPoint ShowPoint(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                     std::int16_t anType);

}  // namespace quillet
