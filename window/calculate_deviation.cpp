#include "window/calculate_deviation.h"

#include "engine/deviation.h"
#include "window/results.h"

namespace quillet {

const std::string_view kCannotEvaluateMessage =
    "These values cannot be evaluated: the magnitude or the frequency is too small for the calculation.\r\n"
    "Please enter a magnitude of at least 1E-13 ohm and a frequency of at least 1E-160 MHz.";

void CalculateDeviation(const Module34& module, WindowInterface& window) {
    window.SetMousePointer(MousePointer::Busy);
    const auto result = SweepDeviation(module.Frequency, module.Magnitude, module.Phase, module.AnType);
    if (!result) {
        WriteNotValid(window);
        window.SetMousePointer(MousePointer::Default);
        window.ShowMessage(kCannotEvaluateMessage, kApplicationTitle);
        return;
    }
    window.SetText(TextBox::TxtMaxUncertainty, ResultText(result->deviationDb));
    window.SetText(TextBox::TxtUncPhase, ResultText(result->eutPhaseDegrees));
    window.SetMousePointer(MousePointer::Default);
}

}  // namespace quillet
