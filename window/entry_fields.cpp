// The three input boxes. The box is what the user sees and edits; beside it
// the field records the digit, point and minus keys typed since the box was
// entered, and leaving the box takes the number from those keys.
#include "engine/number_text.h"
#include "window/shown_point.h"
#include "window/window_model.h"

namespace quillet {
namespace {

constexpr std::uint16_t kEnter = 13;
constexpr std::uint16_t kComma = 44;
constexpr std::uint16_t kMinus = 45;
constexpr std::uint16_t kPoint = 46;
constexpr std::uint16_t kDigitZero = 48;
constexpr std::uint16_t kDigitNine = 57;

}  // namespace

void WindowModel::StoreValue(const EntryField& field, double value) {
    if (field.value != nullptr)
        module_.*field.value = value;
}

// Entering or clicking a box empties it; the recorded keys stay.
void WindowModel::FieldClick(const EntryField& field) { window_.SetText(field.box, ""); }

void WindowModel::FieldKeyPress(const EntryField& field, std::uint16_t keyCode) {
    EntryState& entry = module_.*field.entry;
    if (keyCode == kEnter) {
        FieldEnterCheck(field);
    } else if (keyCode == kComma || keyCode == kPoint) {
        if (!entry.PointTyped)
            entry.EntryBuffer += '.';
        entry.PointTyped = true;
    } else if (keyCode == kMinus) {
        if (!entry.MinusTyped)
            entry.EntryBuffer += '-';
        entry.MinusTyped = true;
    } else if (keyCode >= kDigitZero && keyCode <= kDigitNine) {
        entry.EntryBuffer += NumberText(static_cast<std::int16_t>(keyCode - kDigitZero));
    }
}

// Enter judges what the box shows, not the recorded keys, and rewrites the
// box only when its value lies beyond a limit.
void WindowModel::FieldEnterCheck(const EntryField& field) {
    const LeftBox limited = LeaveBox(field, ParseNumber(window_.Text(field.box)));
    if (limited.clamped)
        window_.SetText(field.box, limited.text);
    StoreValue(field, ParseNumber(window_.Text(field.box)));
    InvalidateResults();
}

void WindowModel::FieldLostFocus(const EntryField& field) {
    EntryState& entry = module_.*field.entry;
    // Text pasted without keys is taken from the box itself.
    const double value = ParseNumber(entry.EntryBuffer.empty() ? window_.Text(field.box) : entry.EntryBuffer);
    StoreValue(field, value);

    window_.SetText(field.box, LeaveBox(field, value).text);

    StoreValue(field, ParseNumber(window_.Text(field.box)));
    InvalidateResults();

    entry.EntryBuffer.clear();
    entry.PointTyped = false;
    entry.MinusTyped = false;
}

}  // namespace quillet
