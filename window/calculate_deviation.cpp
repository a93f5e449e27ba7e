#include "window/calculate_deviation.h"

#include "window/results.h"
#include "window/shown_point.h"

namespace quillet {

const std::string_view kCannotEvaluateMessage =
    "These values cannot be evaluated: the magnitude or the frequency is too small for the calculation.\r\n"
    "Please enter a magnitude of at least 1E-13 ohm and a frequency of at least 1E-160 MHz.";

void CalculateDeviation(const Module34& module, WindowInterface& window) {
    window.SetMousePointer(MousePointer::Busy);
    const ShownResults shown = Calculate({module.Frequency, module.Magnitude, module.Phase, module.AnType});
    if (!shown.deviation) {
        WriteNotValid(window);
        window.SetMousePointer(MousePointer::Default);
        window.ShowMessage(kCannotEvaluateMessage, kApplicationTitle);
        return;
    }
    window.SetText(TextBox::TxtMaxUncertainty, shown.deviationText);
    window.SetText(TextBox::TxtUncPhase, shown.eutPhaseText);
    window.SetMousePointer(MousePointer::Default);
}

}  // namespace quillet
