// Which handler of an input box runs for an event the toolkit reports, and
// the focus the handlers have last heard of.
#include "window/window_model.h"

namespace quillet {

const WindowModel::InputBoxHandlers* WindowModel::HandlersOf(TextBox box) {
    using M = WindowModel;
    static constexpr InputBoxHandlers kFrequency{&M::TxtFrequency_Click, &M::TxtFrequency_GotFocus,
                                                 &M::TxtFrequency_KeyPress, &M::TxtFrequency_LostFocus};
    static constexpr InputBoxHandlers kMagnitude{&M::TxtMagnitude_Click, &M::TxtMagnitude_GotFocus,
                                                 &M::TxtMagnitude_KeyPress, &M::TxtMagnitude_LostFocus};
    static constexpr InputBoxHandlers kPhase{&M::TxtPhase_Click, &M::TxtPhase_GotFocus, &M::TxtPhase_KeyPress,
                                             &M::TxtPhase_LostFocus};
    switch (box) {
    case TextBox::TxtFrequency: return &kFrequency;
    case TextBox::TxtMagnitude: return &kMagnitude;
    case TextBox::TxtPhase: return &kPhase;
    default: return nullptr;  // the result boxes raise no events
    }
}

void WindowModel::FocusMovedTo(std::optional<TextBox> control) {
    const std::optional<TextBox> box = control && HandlersOf(*control) != nullptr ? control : std::nullopt;
    if (box == focusedBox_)
        return;
    const std::optional<TextBox> previous = focusedBox_;
    focusedBox_ = box;
    if (previous)
        (this->*HandlersOf(*previous)->lostFocus)();
    if (box)
        (this->*HandlersOf(*box)->gotFocus)();
}

void WindowModel::BoxClicked(TextBox box) {
    FocusMovedTo(box);
    if (const InputBoxHandlers* handlers = HandlersOf(box))
        (this->*handlers->click)();
}

void WindowModel::KeyTyped(TextBox box, std::uint16_t character) {
    FocusMovedTo(box);
    if (const InputBoxHandlers* handlers = HandlersOf(box))
        (this->*handlers->keyPress)(character);
}

}  // namespace quillet
