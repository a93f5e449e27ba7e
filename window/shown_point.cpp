#include "window/shown_point.h"

#include "engine/number_text.h"
#include "window/results.h"

namespace quillet {
namespace {

// A result box's text read back as a number; a negative zero shows as 0.
double ShownNumber(double value) { return RoundHalfEven(value, 2) + 0.0; }

}  // namespace

LeftBox LeaveBox(const EntryField& field, double value) {
    if (value < field.lower)
        return {NumberText(field.lower), true};
    if (value > field.upper)
        return {NumberText(field.upper), true};
    return {NumberText(value), false};
}

double WithZeroStandIn(double value) { return value == 0.0 ? kZeroStandIn : value; }

CalculationInput ReadBoxes(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                           std::int16_t anType) {
    return {WithZeroStandIn(ParseNumber(frequency)), WithZeroStandIn(ParseNumber(magnitude)),
            ParseNumber(phase) * kPi / 180.0, anType};
}

ShownResults Calculate(const CalculationInput& input) {
    ShownResults shown{SweepDeviation(input.frequencyMHz, input.magnitudeOhm, input.phaseRadians, input.anType),
                       std::string(kNotValid), std::string(kNotValid), std::nullopt, std::nullopt};
    if (shown.deviation) {
        shown.deviationText = ResultText(shown.deviation->deviationDb);
        shown.eutPhaseText = ResultText(shown.deviation->eutPhaseDegrees);
        shown.shownDeviationDb = ShownNumber(shown.deviation->deviationDb);
        shown.shownEutPhaseDegrees = ShownNumber(shown.deviation->eutPhaseDegrees);
    }
    return shown;
}

ShownPoint ShowPoint(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                     std::int16_t anType) {
    ShownPoint shown{};
    const std::array<std::string_view, 3> texts{frequency, magnitude, phase};
    const std::array<const EntryField*, 3> fields{&kFrequencyField, &kMagnitudeField, &kPhaseField};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        shown.typed[i] = ParseNumber(texts[i]);
        shown.boxes[i] = LeaveBox(*fields[i], shown.typed[i]);
    }
    shown.used = ReadBoxes(shown.boxes[0].text, shown.boxes[1].text, shown.boxes[2].text, anType);
    shown.results = Calculate(shown.used);
    return shown;
}

}  // namespace quillet
