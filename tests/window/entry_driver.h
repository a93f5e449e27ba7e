// Drives an input box the way the toolkit does: focus events, key codes
// delivered before the box applies the key, the box's own editing.
#pragma once

#include <cstdint>
#include <string>

#include "tests/window/recording_window.h"
#include "window/window_model.h"

namespace quillet::testing {

enum class Field { Frequency, Magnitude, Phase };

inline TextBox BoxOf(Field field) {
    switch (field) {
    case Field::Frequency: return TextBox::TxtFrequency;
    case Field::Magnitude: return TextBox::TxtMagnitude;
    case Field::Phase: return TextBox::TxtPhase;
    }
    return TextBox::TxtFrequency;
}

inline const EntryState& EntryOf(const Module34& m, Field field) {
    switch (field) {
    case Field::Frequency: return m.FrequencyEntry;
    case Field::Magnitude: return m.MagnitudeEntry;
    case Field::Phase: return m.PhaseEntry;
    }
    return m.FrequencyEntry;
}

inline void GotFocus(WindowModel& model, Field field) {
    switch (field) {
    case Field::Frequency: model.TxtFrequency_GotFocus(); break;
    case Field::Magnitude: model.TxtMagnitude_GotFocus(); break;
    case Field::Phase: model.TxtPhase_GotFocus(); break;
    }
}

inline void Click(WindowModel& model, Field field) {
    switch (field) {
    case Field::Frequency: model.TxtFrequency_Click(); break;
    case Field::Magnitude: model.TxtMagnitude_Click(); break;
    case Field::Phase: model.TxtPhase_Click(); break;
    }
}

inline void LostFocus(WindowModel& model, Field field) {
    switch (field) {
    case Field::Frequency: model.TxtFrequency_LostFocus(); break;
    case Field::Magnitude: model.TxtMagnitude_LostFocus(); break;
    case Field::Phase: model.TxtPhase_LostFocus(); break;
    }
}

// One character key: the handler first, then the box edits its text as a
// single-line text box does with the caret at the end.
inline void Key(WindowModel& model, RecordingWindow& window, Field field, std::uint16_t code) {
    switch (field) {
    case Field::Frequency: model.TxtFrequency_KeyPress(code); break;
    case Field::Magnitude: model.TxtMagnitude_KeyPress(code); break;
    case Field::Phase: model.TxtPhase_KeyPress(code); break;
    }
    std::string& text = window.texts[BoxOf(field)];
    if (code == 8) {
        if (!text.empty())
            text.pop_back();
    } else if (code >= 32 && code < 127) {
        text += static_cast<char>(code);
    }
}

}  // namespace quillet::testing
