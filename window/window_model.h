// The state behind the calculator's window and the handlers of its controls.
// Handlers reach the window only through WindowInterface, so every one of
// them runs without a toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "window/entry_field.h"
#include "window/module34.h"
#include "window/window_interface.h"

namespace quillet {

class WindowModel {
public:
    explicit WindowModel(WindowInterface& window) : window_(window) {}

    const Module34& Module() const { return module_; }
    Module34& Module() { return module_; }

    // Window
    void Form_Load();

    // The "Calculate" button
    void PbCapture_Click();

    // A point put into the calculator as a user would: each text entered
    // into its box and taken over by leaving the box, the AN type's option
    // selected (1..4), then "Calculate". The focus moves to "Calculate"
    // first, as a click on it does, so keys typed into a box but not yet
    // taken over are taken over before the box is written; the window
    // should then move its own focus there too.
    void EnterPointAndCalculate(std::string_view frequency, std::string_view magnitude, std::string_view phase,
                                std::int16_t anType);

    // Results
    void InvalidateResults();

    // The four AN type options, 0..3 for types 1..4
    void ChkLink_Click(std::int16_t index);

    // Input boxes. KeyPress receives the 16-bit character code of a key that
    // produces a character, before the box applies it, and never alters it.
    void TxtFrequency_Click() { FieldClick(kFrequencyField); }
    void TxtFrequency_GotFocus() { FieldClick(kFrequencyField); }
    void TxtFrequency_KeyPress(std::uint16_t keyCode) { FieldKeyPress(kFrequencyField, keyCode); }
    void TxtFrequency_LostFocus() { FieldLostFocus(kFrequencyField); }

    void TxtMagnitude_Click() { FieldClick(kMagnitudeField); }
    void TxtMagnitude_GotFocus() { FieldClick(kMagnitudeField); }
    void TxtMagnitude_KeyPress(std::uint16_t keyCode) { FieldKeyPress(kMagnitudeField, keyCode); }
    void TxtMagnitude_LostFocus() { FieldLostFocus(kMagnitudeField); }

    void TxtPhase_Click() { FieldClick(kPhaseField); }
    void TxtPhase_GotFocus() { FieldClick(kPhaseField); }
    void TxtPhase_KeyPress(std::uint16_t keyCode) { FieldKeyPress(kPhaseField, keyCode); }
    void TxtPhase_LostFocus() { FieldLostFocus(kPhaseField); }

    // The input boxes' events as the window's toolkit reports them; these
    // decide which of the handlers above run. The focus is on an input box
    // or on another control of the window (none). A move between controls
    // runs the lost-focus handler of the box that had the focus and the
    // got-focus handler of the box that has it now; focus coming back to
    // the same box, as when the whole window was left, is no move.
    void FocusMovedTo(std::optional<TextBox> control);
    // A left click on a box; the box has taken the focus already.
    void BoxClicked(TextBox box);
    // A key that produces a character, before the box applies it.
    void KeyTyped(TextBox box, std::uint16_t character);

    // The "About" and "Exit" buttons
    void PbInfo_Click();
    void PbExit_Click();

private:
    struct InputBoxHandlers {
        void (WindowModel::*click)();
        void (WindowModel::*gotFocus)();
        void (WindowModel::*keyPress)(std::uint16_t);
        void (WindowModel::*lostFocus)();
    };
    static const InputBoxHandlers* HandlersOf(TextBox box);

    void FieldClick(const EntryField& field);
    void FieldKeyPress(const EntryField& field, std::uint16_t keyCode);
    void FieldEnterCheck(const EntryField& field);
    void FieldLostFocus(const EntryField& field);
    void StoreValue(const EntryField& field, double value);

    WindowInterface& window_;
    Module34 module_;
    std::optional<TextBox> focusedBox_;  // the box whose got-focus handler ran last
};

}  // namespace quillet
