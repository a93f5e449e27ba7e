#include "sweep/calculator_session.h"

#include <array>
#include <cstddef>

#include "engine/number_text.h"
#include "window/window_interface.h"
#include "window/window_model.h"

namespace quillet::sweep {

struct CalculatorSession::Window : WindowInterface {
    // One text per box, indexed by the box.
    std::array<std::string, static_cast<std::size_t>(TextBox::TxtUncPhase) + 1> texts;
    std::array<bool, 4> options{};
    WindowModel model{*this};

    std::string Text(TextBox box) const override { return texts.at(static_cast<std::size_t>(box)); }
    void SetText(TextBox box, std::string_view text) override { texts.at(static_cast<std::size_t>(box)).assign(text); }
    bool Option(int index) const override { return options.at(static_cast<std::size_t>(index)); }
    void SetOption(int index, bool selected) override {
        bool& option = options.at(static_cast<std::size_t>(index));
        const bool raise = selected && !option;
        option = selected;
        if (raise)
            model.ChkLink_Click(static_cast<std::int16_t>(index));
    }
    // A window of the usual size on a usual screen; nothing here is shown.
    double OuterWidth() const override { return 6510; }
    double OuterHeight() const override { return 7035; }
    void SetLeft(float) override {}
    void SetTop(float) override {}
    double ScreenWidth() const override { return 28800; }
    double ScreenHeight() const override { return 16200; }
    void SetMousePointer(MousePointer) override {}
    void ShowMessage(std::string_view, std::string_view) override {}  // the results say "not valid"
    void Unload() override {}
};

CalculatorSession::CalculatorSession(std::int16_t anType) : anType_(anType), window_(std::make_unique<Window>()) {
    window_->model.Form_Load();
    window_->SetOption(anType - 1, true);
}

CalculatorSession::~CalculatorSession() = default;

CalculatorResult CalculatorSession::Calculate(std::string_view frequency, std::string_view magnitude,
                                              std::string_view phase) {
    window_->model.EnterPointAndCalculate(frequency, magnitude, phase, anType_);
    // Leaving a box clamps its value to the box's limits; "Calculate"
    // leaves the input boxes as they are.
    const bool clamped = ParseNumber(window_->Text(TextBox::TxtFrequency)) != ParseNumber(frequency) ||
                         ParseNumber(window_->Text(TextBox::TxtMagnitude)) != ParseNumber(magnitude) ||
                         ParseNumber(window_->Text(TextBox::TxtPhase)) != ParseNumber(phase);
    return {window_->Text(TextBox::TxtMaxUncertainty), window_->Text(TextBox::TxtUncPhase), clamped};
}

}  // namespace quillet::sweep
