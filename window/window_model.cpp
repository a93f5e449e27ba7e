#include "window/window_model.h"

#include "engine/number_text.h"
#include "window/calculate_deviation.h"
#include "window/results.h"
#include "window/shown_point.h"

namespace quillet {
namespace {

constexpr double kStartFrequency = 0.15;   // MHz
constexpr double kStartMagnitude = 39.26;  // ohm
constexpr double kStartPhase = 54.85;      // degrees

// Above the middle of the screen: the window's centre sits at 1/2.3 of the
// screen height. Computed in double, handed over in single precision.
void PlaceWindow(WindowInterface& window) {
    const double width = window.OuterWidth();
    const double screenWidth = window.ScreenWidth();
    window.SetLeft(static_cast<float>(screenWidth / 2.0 - width / 2.0));
    const double height = window.OuterHeight();
    const double screenHeight = window.ScreenHeight();
    window.SetTop(static_cast<float>(screenHeight / 2.3 - height / 2.0));
}

}  // namespace

void WindowModel::InvalidateResults() { WriteNotValid(window_); }

void WindowModel::Form_Load() {
    module_.Frequency = kStartFrequency;
    module_.Magnitude = kStartMagnitude;
    module_.Phase = kStartPhase;

    module_.MagnitudeEntry = EntryState{};
    module_.FrequencyEntry = EntryState{};
    module_.PhaseEntry = EntryState{};

    PlaceWindow(window_);

    // The start-up frequency below 1 MHz is shown with a 0 before the point.
    std::string frequencyText = NumberText(module_.Frequency);
    if (module_.Frequency < 1.0 && frequencyText.front() == ' ')
        frequencyText.front() = '0';
    window_.SetText(TextBox::TxtFrequency, frequencyText);
    window_.SetText(TextBox::TxtMagnitude, NumberText(module_.Magnitude));
    window_.SetText(TextBox::TxtPhase, NumberText(module_.Phase));

    InvalidateResults();

    window_.SetOption(0, true);
    window_.SetOption(1, false);
    window_.SetOption(2, false);
    window_.SetOption(3, false);

    if (window_.Option(0))
        module_.AnType = 1;
    else if (window_.Option(1))
        module_.AnType = 2;
    else if (window_.Option(2))
        module_.AnType = 3;
    else
        module_.AnType = 4;
}

void WindowModel::PbCapture_Click() {
    // Always the boxes, never what the entry fields kept earlier.
    const CalculationInput input = ReadBoxes(window_.Text(TextBox::TxtFrequency), window_.Text(TextBox::TxtMagnitude),
                                             window_.Text(TextBox::TxtPhase), module_.AnType);
    module_.Frequency = input.frequencyMHz;
    module_.Magnitude = input.magnitudeOhm;
    module_.Phase = input.phaseRadians;
    CalculateDeviation(module_, window_);
}

void WindowModel::EnterPointAndCalculate(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                                         std::int16_t anType) {
    FocusMovedTo(std::nullopt);
    window_.SetText(TextBox::TxtFrequency, frequency);
    TxtFrequency_LostFocus();
    window_.SetText(TextBox::TxtMagnitude, magnitude);
    TxtMagnitude_LostFocus();
    window_.SetText(TextBox::TxtPhase, phase);
    TxtPhase_LostFocus();
    window_.SetOption(anType - 1, true);  // raises ChkLink_Click when the type changes
    PbCapture_Click();
}

}  // namespace quillet
