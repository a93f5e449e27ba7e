// Thousands of random user sessions on the window model, checking after every
// event the rules the window must keep whatever the user does.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "engine/number_text.h"
#include "tests/window/entry_driver.h"
#include "window/entry_field.h"

namespace quillet {
namespace {

using namespace quillet::testing;

struct Limits {
    double lower, upper;
};

Limits LimitsOf(Field field) {
    switch (field) {
    case Field::Frequency: return {kFrequencyField.lower, kFrequencyField.upper};
    case Field::Magnitude: return {kMagnitudeField.lower, kMagnitudeField.upper};
    case Field::Phase: return {kPhaseField.lower, kPhaseField.upper};
    }
    return {0, 0};
}

class Session {
public:
    explicit Session(std::uint64_t seed) : random_(seed) {
        window_.optionClicked = [this](std::int16_t i) { model_.ChkLink_Click(i); };
        model_.Form_Load();
    }

    void Step() {
        switch (Pick(9)) {
        case 0: FocusBox(static_cast<Field>(Pick(3)), Pick(2) == 0); break;
        case 1:
        case 2:
        case 3: TypeKey(); break;
        case 4: ClickFocusedBox(); break;
        case 5: PasteIntoFocusedBox(); break;
        case 6: Calculate(); break;
        case 7: ChooseOption(); break;
        default: FocusElsewhere(); break;
        }
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void Leave() {
        if (!focus_)
            return;
        const Field left = *focus_;
        focus_.reset();
        LostFocus(model_, left);
        CheckLeft(left);
    }

    void FocusBox(Field field, bool byClick) {
        if (focus_ == field) {
            if (byClick)
                Click(model_, field);
            return;
        }
        Leave();
        focus_ = field;
        GotFocus(model_, field);
        if (byClick)
            Click(model_, field);
        CheckUnfocusedBuffers();
    }

    void TypeKey() {
        if (!focus_)
            return;
        static const char kKeys[] = "0123456789.,-eE+ aX";
        std::uint16_t code = 0;
        switch (Pick(4)) {
        case 0: code = 13; break;  // Enter
        case 1: code = 8; break;   // Backspace
        default: code = static_cast<std::uint16_t>(kKeys[Pick(sizeof kKeys - 1)]); break;
        }
        Key(model_, window_, *focus_, code);
        if (code == 13) {
            ExpectResultsInvalid("Enter");
            const Limits limits = LimitsOf(*focus_);
            const double value = ParseNumber(window_.Text(BoxOf(*focus_)));
            ASSERT_GE(value, limits.lower);
            ASSERT_LE(value, limits.upper);
        }
        CheckUnfocusedBuffers();
    }

    void ClickFocusedBox() {
        if (focus_)
            FocusBox(*focus_, true);
    }

    void PasteIntoFocusedBox() {
        if (!focus_)
            return;
        static const char* kTexts[] = {"1E9", "-7", "&HFFFF", "abc", "0,5", "12.5", "1e-300", "  3 3 "};
        window_.texts[BoxOf(*focus_)] += kTexts[Pick(8)];
    }

    void Calculate() {
        Leave();
        model_.PbCapture_Click();
        ASSERT_EQ(window_.pointer, MousePointer::Default);
        const std::string deviation = window_.Text(TextBox::TxtMaxUncertainty);
        if (deviation != "not valid") {
            ASSERT_EQ(NumberText(ParseNumber(deviation)), deviation);
            ASSERT_TRUE(window_.messages.empty());
        }
        window_.messages.clear();
        CheckUnfocusedBuffers();
    }

    void ChooseOption() {
        Leave();
        const int option = Pick(4);
        const std::int16_t typeBefore = model_.Module().AnType;
        const std::string resultBefore = window_.Text(TextBox::TxtMaxUncertainty);
        window_.UserClicksOption(option);
        ASSERT_EQ(window_.SelectedCount(), 1);
        ASSERT_TRUE(window_.Option(option));
        ASSERT_EQ(model_.Module().AnType, option + 1);
        if (typeBefore != option + 1)
            ExpectResultsInvalid("a new AN type");
        else
            ASSERT_EQ(window_.Text(TextBox::TxtMaxUncertainty), resultBefore);
    }

    void FocusElsewhere() { Leave(); }

    void CheckLeft(Field field) {
        const std::string text = window_.Text(BoxOf(field));
        const double value = ParseNumber(text);
        const Limits limits = LimitsOf(field);
        ASSERT_EQ(text, NumberText(value)) << "not in NumberText form";
        ASSERT_GE(value, limits.lower);
        ASSERT_LE(value, limits.upper);
        ExpectResultsInvalid("leaving a box");
        CheckUnfocusedBuffers();
    }

    void CheckUnfocusedBuffers() {
        for (Field field : {Field::Frequency, Field::Magnitude, Field::Phase}) {
            if (focus_ == field)
                continue;
            const EntryState& entry = EntryOf(model_.Module(), field);
            ASSERT_TRUE(entry.EntryBuffer.empty());
            ASSERT_FALSE(entry.PointTyped);
            ASSERT_FALSE(entry.MinusTyped);
        }
    }

    void ExpectResultsInvalid(const char* after) {
        ASSERT_EQ(window_.Text(TextBox::TxtMaxUncertainty), "not valid") << after;
        ASSERT_EQ(window_.Text(TextBox::TxtUncPhase), "not valid") << after;
    }

    std::mt19937_64 random_;
    RecordingWindow window_;
    WindowModel model_{window_};
    std::optional<Field> focus_;
};

TEST(RandomSessions, KeepTheWindowRules) {
    for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
        Session session(seed);
        for (int step = 0; step < 60; ++step) {
            session.Step();
            if (::testing::Test::HasFatalFailure()) {
                FAIL() << "seed " << seed << " step " << step;
            }
        }
    }
}

}  // namespace
}  // namespace quillet
