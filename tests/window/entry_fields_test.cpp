#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/number_text.h"
#include "tests/window/entry_driver.h"

namespace quillet {
namespace {

using namespace quillet::testing;

constexpr const char* kResult = "RESULT";  // stands for a result on screen
constexpr double kUnchanged = -12345;      // a module value the field must not touch

// Events, one per string: "in" (got focus), "click", "out" (lost focus),
// "enter", "bs" (Backspace), "paste:TEXT" (text without keys), or the
// characters to type.
struct Case {
    const char* name;
    Field field;
    std::vector<std::string> events;
    const char* boxText;
    const char* buffer;
    bool resultsInvalid;
    double moduleValue;  // Frequency or Phase afterwards; kUnchanged for none
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class EntryFieldTest : public ::testing::TestWithParam<Case> {
protected:
    RecordingWindow window;
    WindowModel model{window};

    void Run(const Case& c) {
        window.texts[BoxOf(c.field)] = " 7";
        window.texts[TextBox::TxtMaxUncertainty] = kResult;
        window.texts[TextBox::TxtUncPhase] = kResult;
        model.Module().Frequency = model.Module().Magnitude = model.Module().Phase = kUnchanged;
        for (const std::string& event : c.events) {
            if (event == "in")
                GotFocus(model, c.field);
            else if (event == "click")
                Click(model, c.field);
            else if (event == "out")
                LostFocus(model, c.field);
            else if (event == "enter")
                Key(model, window, c.field, 13);
            else if (event == "bs")
                Key(model, window, c.field, 8);
            else if (event.rfind("paste:", 0) == 0)
                window.texts[BoxOf(c.field)] = event.substr(6);
            else
                for (char ch : event)
                    Key(model, window, c.field, static_cast<std::uint16_t>(ch));
        }
    }
};

TEST_P(EntryFieldTest, Events) {
    const Case& c = GetParam();
    Run(c);
    EXPECT_EQ(window.Text(BoxOf(c.field)), c.boxText);
    const EntryState& entry = EntryOf(model.Module(), c.field);
    EXPECT_EQ(entry.EntryBuffer, c.buffer);
    EXPECT_EQ(entry.PointTyped, std::string(c.buffer).find('.') != std::string::npos);
    EXPECT_EQ(entry.MinusTyped, std::string(c.buffer).find('-') != std::string::npos);
    const char* results = c.resultsInvalid ? "not valid" : kResult;
    EXPECT_EQ(window.Text(TextBox::TxtMaxUncertainty), results);
    EXPECT_EQ(window.Text(TextBox::TxtUncPhase), results);
    const double stored = c.field == Field::Phase ? model.Module().Phase : model.Module().Frequency;
    EXPECT_EQ(stored, c.moduleValue);
    EXPECT_EQ(model.Module().Magnitude, kUnchanged) << "the magnitude field keeps no value";
}

const Case kCases[] = {
    {"TabThroughGivesZero", Field::Frequency, {"in", "out"}, " 0", "", true, 0},
    {"EnteringEmptiesTheBoxOnly", Field::Frequency, {"in"}, "", "", false, kUnchanged},
    {"ClickEmptiesTheBoxOnly", Field::Phase, {"in", "click"}, "", "", false, kUnchanged},
    {"CommaIsRecordedAsPoint", Field::Frequency, {"in", "1,5"}, "1,5", " 1. 5", false, kUnchanged},
    {"CommaThenLeave", Field::Frequency, {"in", "1,5", "out"}, " 1.5", "", true, 1.5},
    {"NoZeroBeforeThePoint", Field::Frequency, {"in", "0.15", "out"}, " .15", "", true, 0.15},
    {"MinusFirst", Field::Phase, {"in", "-45", "out"}, "-45", "", true, -45},
    {"MinusAfterDigits", Field::Phase, {"in", "45-"}, "45-", " 4 5-", false, kUnchanged},
    {"MinusAfterDigitsEndsTheNumber", Field::Phase, {"in", "45-", "out"}, " 45", "", true, 45},
    {"SecondPointIgnored", Field::Frequency, {"in", "1.2.3"}, "1.2.3", " 1. 2 3", false, kUnchanged},
    {"SecondPointIgnoredOnLeave", Field::Frequency, {"in", "1.2,3", "out"}, " 1.23", "", true, 1.23},
    {"SecondMinusIgnored", Field::Phase, {"in", "-4-5", "out"}, "-45", "", true, -45},
    {"BackspaceNotRecorded", Field::Frequency, {"in", "12", "bs", "3"}, "13", " 1 2 3", false, kUnchanged},
    {"BackspaceThenLeave", Field::Frequency, {"in", "12", "bs", "3", "out"}, " 123", "", true, 123},
    {"LettersNotRecorded", Field::Frequency, {"in", "1e9"}, "1e9", " 1 9", false, kUnchanged},
    {"LettersThenLeave", Field::Frequency, {"in", "1e9", "out"}, " 19", "", true, 19},
    {"ClickWhileTypingKeepsTheKeys", Field::Frequency, {"in", "12", "click", "3", "out"}, " 123", "", true, 123},
    {"PastedTextIsReadFromTheBox", Field::Phase, {"in", "paste: 1 2.5x", "out"}, " 12.5", "", true, 12.5},
    {"TextLeftWithoutEnteringIsRewritten", Field::Frequency, {"paste:0.150", "out"}, " .15", "", true, 0.15},
    // Every limit of every field.
    {"FrequencyBelowZero", Field::Frequency, {"in", "-5", "out"}, " 0", "", true, 0},
    {"FrequencyAboveLimit", Field::Frequency, {"in", "600000", "out"}, " 500000", "", true, 500000},
    {"FrequencyAtLimit", Field::Frequency, {"in", "500000", "out"}, " 500000", "", true, 500000},
    {"FrequencyJustAboveLimit", Field::Frequency, {"in", "500000.01", "out"}, " 500000", "", true, 500000},
    {"MagnitudeBelowZero", Field::Magnitude, {"in", "-1", "out"}, " 0", "", true, kUnchanged},
    {"MagnitudeAboveLimit", Field::Magnitude, {"in", "500.1", "out"}, " 500", "", true, kUnchanged},
    {"MagnitudeAtLimit", Field::Magnitude, {"in", "500", "out"}, " 500", "", true, kUnchanged},
    {"PhaseBelowLimit", Field::Phase, {"in", "-361", "out"}, "-360", "", true, -360},
    {"PhaseAtLowerLimit", Field::Phase, {"in", "-360", "out"}, "-360", "", true, -360},
    {"PhaseAboveLimit", Field::Phase, {"in", "360.5", "out"}, " 360", "", true, 360},
    {"PhaseAtUpperLimit", Field::Phase, {"in", "360", "out"}, " 360", "", true, 360},
    {"SmallValueKeepsItsValue", Field::Magnitude, {"in", ".000000000000001", "out"}, " 1E-15", "", true, kUnchanged},
    // Enter judges the box's text and keeps the keys.
    {"EnterWithinLimitsDoesNotRewrite", Field::Frequency, {"in", "12", "enter"}, "12", " 1 2", true, 12},
    {"EnterThenLeaveRewritesFromKeys", Field::Frequency, {"in", "12", "enter", "out"}, " 12", "", true, 12},
    {"EnterAboveLimit", Field::Magnitude, {"in", "600", "enter"}, " 500", " 6 0 0", true, kUnchanged},
    {"EnterAboveLimitThenLeave", Field::Magnitude, {"in", "600", "enter", "out"}, " 500", "", true, kUnchanged},
    {"EnterBelowLimit", Field::Phase, {"in", "-400", "enter"}, "-360", "- 4 0 0", true, -360},
    {"EnterInEmptyBox", Field::Phase, {"in", "enter"}, "", "", true, 0},
    {"EnterInEmptyBoxThenLeave", Field::Phase, {"in", "enter", "out"}, " 0", "", true, 0},
    {"EnterJudgesTextNotKeys", Field::Frequency, {"in", "1e9", "enter"}, " 500000", " 1 9", true, 500000},
    {"LeaveAfterEnterUsesTheKeys", Field::Frequency, {"in", "1e9", "enter", "out"}, " 19", "", true, 19},
    {"EnterWithLimitTextTyped", Field::Phase, {"in", "-360", "enter"}, "-360", "- 3 6 0", true, -360},
};

INSTANTIATE_TEST_SUITE_P(Cases, EntryFieldTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EntryFieldOrder, RewriteComesBeforeInvalidating) {
    struct Case {
        Field field;
        const char* keys;
        std::uint16_t last;  // 13 Enter, 0 leaving the box
        std::vector<std::string> calls;
    } cases[] = {
        {Field::Magnitude,
         "600",
         0,
         {"text TxtMagnitude= 500", "text TxtUncPhase=not valid", "text TxtMaxUncertainty=not valid"}},
        {Field::Magnitude,
         "600",
         13,
         {"text TxtMagnitude= 500", "text TxtUncPhase=not valid", "text TxtMaxUncertainty=not valid"}},
        {Field::Phase,
         "-400",
         13,
         {"text TxtPhase=-360", "text TxtUncPhase=not valid", "text TxtMaxUncertainty=not valid"}},
        {Field::Frequency, "12", 13, {"text TxtUncPhase=not valid", "text TxtMaxUncertainty=not valid"}},
        {Field::Frequency,
         "12",
         0,
         {"text TxtFrequency= 12", "text TxtUncPhase=not valid", "text TxtMaxUncertainty=not valid"}},
    };
    for (const auto& c : cases) {
        RecordingWindow window;
        WindowModel model(window);
        GotFocus(model, c.field);
        for (const char* k = c.keys; *k != '\0'; ++k)
            Key(model, window, c.field, static_cast<std::uint16_t>(*k));
        const std::size_t before = window.calls.size();
        if (c.last == 13)
            Key(model, window, c.field, 13);
        else
            LostFocus(model, c.field);
        EXPECT_EQ(window.CallsSince(before), c.calls) << c.keys << " " << c.last;
    }
}

TEST(EntryFieldKeys, OnlyDigitsPointCommaAndMinusAreRecorded) {
    RecordingWindow window;
    WindowModel model(window);
    GotFocus(model, Field::Magnitude);
    for (char ch : std::string("a1 ,2-.x\t-"))
        Key(model, window, Field::Magnitude, static_cast<std::uint16_t>(ch));
    EXPECT_EQ(model.Module().MagnitudeEntry.EntryBuffer, " 1. 2-");
    // Codes outside ASCII are ignored by the field.
    for (std::uint16_t code : {0x00B5, 0x2126, 0xFF10, 0xFFFF, 0})
        model.TxtMagnitude_KeyPress(code);
    EXPECT_EQ(model.Module().MagnitudeEntry.EntryBuffer, " 1. 2-");
}

}  // namespace
}  // namespace quillet
