#include "window/window_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/deviation.h"
#include "tests/window/recording_window.h"
#include "window/calculate_deviation.h"
#include "window/entry_field.h"

namespace quillet {
namespace {

using testing::RecordingWindow;
using Calls = std::vector<std::string>;

class WindowModelTest : public ::testing::Test {
protected:
    WindowModelTest() {
        window.optionClicked = [this](std::int16_t i) { model.ChkLink_Click(i); };
    }

    std::string Box(TextBox box) const { return window.Text(box); }

    RecordingWindow window;
    WindowModel model{window};
};

TEST_F(WindowModelTest, LoadingShowsTheStartUpInputs) {
    model.Form_Load();
    EXPECT_EQ(Box(TextBox::TxtFrequency), "0.15");
    EXPECT_EQ(Box(TextBox::TxtMagnitude), " 39.26");
    EXPECT_EQ(Box(TextBox::TxtPhase), " 54.85");
    EXPECT_EQ(Box(TextBox::TxtMaxUncertainty), "not valid");
    EXPECT_EQ(Box(TextBox::TxtUncPhase), "not valid");
    EXPECT_EQ(window.options, (std::array<bool, 4>{true, false, false, false}));
    const Module34& m = model.Module();
    EXPECT_EQ(m.AnType, 1);
    EXPECT_EQ(m.Frequency, 0.15);
    EXPECT_EQ(m.Magnitude, 39.26);
    EXPECT_EQ(m.Phase, 54.85);
    for (const EntryState* e : {&m.FrequencyEntry, &m.MagnitudeEntry, &m.PhaseEntry}) {
        EXPECT_TRUE(e->EntryBuffer.empty());
        EXPECT_FALSE(e->PointTyped);
        EXPECT_FALSE(e->MinusTyped);
    }
}

TEST_F(WindowModelTest, LoadingRunsInOrderWithTheNestedOptionClick) {
    model.Form_Load();
    const Calls expected = {
        "left",
        "top",
        "text TxtFrequency=0.15",
        "text TxtMagnitude= 39.26",
        "text TxtPhase= 54.85",
        "text TxtUncPhase=not valid",
        "text TxtMaxUncertainty=not valid",
        // Selecting option 0 raises its click inside the setting call; with
        // the type still 0 it invalidates nothing.
        "option 0=1",
        "option 0=1",
        "option 1=0",
        "option 2=0",
        "option 3=0",
        "option 1=0",
        "option 2=0",
        "option 3=0",
        "option 1=0",
        "option 2=0",
        "option 3=0",
    };
    EXPECT_EQ(window.calls, expected);
}

struct Placement {
    double screenWidth, screenHeight;  // px
    float left, top;                   // twips
};

TEST_F(WindowModelTest, PlacesTheWindowAboveTheMiddleOfTheScreen) {
    const Placement cases[] = {
        {1024, 768, 4425.0f, static_cast<float>(768 * 15 / 2.3 - 7035 / 2.0)},
        {1920, 1080, 11145.0f, static_cast<float>(1080 * 15 / 2.3 - 7035 / 2.0)},
        {800, 480, 2745.0f, static_cast<float>(480 * 15 / 2.3 - 7035 / 2.0)},
    };
    for (const auto& c : cases) {
        RecordingWindow w;
        w.screenWidth = c.screenWidth * 15;
        w.screenHeight = c.screenHeight * 15;
        WindowModel m(w);
        m.Form_Load();
        EXPECT_EQ(w.left, c.left) << c.screenWidth;
        EXPECT_EQ(w.top, c.top) << c.screenWidth;
    }
    // In pixels: 295 and 99.41 on 1024 x 768; above the screen on 800 x 480.
    RecordingWindow small;
    small.screenWidth = 800 * 15;
    small.screenHeight = 480 * 15;
    WindowModel(small).Form_Load();
    EXPECT_NEAR(small.top / 15, -25.8, 0.01);
}

TEST_F(WindowModelTest, CalculateWritesTheResultsUnderTheBusyPointer) {
    model.Form_Load();
    const std::size_t before = window.calls.size();
    model.PbCapture_Click();
    const Calls expected = {
        "pointer busy",
        "text TxtMaxUncertainty= 3.61",
        "text TxtUncPhase= 268.14",
        "pointer default",
    };
    EXPECT_EQ(window.CallsSince(before), expected);
    EXPECT_EQ(model.Module().Phase, 54.85 * 3.14159265358979 / 180.0);  // radians, with the pi literal
    window.texts[TextBox::TxtPhase] = " 180";
    model.PbCapture_Click();
    EXPECT_EQ(model.Module().Phase, 180 * 3.14159265358979 / 180.0);
    EXPECT_NE(model.Module().Phase, 3.141592653589793);
}

struct BoxInputs {
    const char* frequency;
    const char* magnitude;
    const char* phase;
    std::int16_t option;
    const char* deviation;
    const char* eutPhase;
    double frequencyUsed, magnitudeUsed;
};

TEST_F(WindowModelTest, CalculateReadsTheBoxesAfresh) {
    const BoxInputs cases[] = {
        {"0.15", " 39.26", " 54.85", 2, " 22.4", " 270.44", 0.15, 39.26},
        {" 0", " 0", " 0", 3, "-163.52", " 0", kZeroStandIn, kZeroStandIn},    // zero guards
        {"abc", "", "x", 1, "-49.96", " 180.48", kZeroStandIn, kZeroStandIn},  // letters read as 0
        {" 30", " 50", " 0", 0, " .02", " 89.95", 30, 50},
        {" 1", " 150", " 0", 3, " 0", " 0", 1, 150},  // tie: never "-0"
        {"0.15", " 39.26", "-54.85", 0, " 10.5", " 102.56", 0.15, 39.26},
    };
    for (const auto& c : cases) {
        model.Form_Load();
        window.UserClicksOption(c.option);
        window.texts[TextBox::TxtFrequency] = c.frequency;
        window.texts[TextBox::TxtMagnitude] = c.magnitude;
        window.texts[TextBox::TxtPhase] = c.phase;
        model.Module().Frequency = 99;  // stale values must not be used
        model.PbCapture_Click();
        EXPECT_EQ(Box(TextBox::TxtMaxUncertainty), c.deviation) << c.frequency << c.magnitude << c.phase;
        EXPECT_EQ(Box(TextBox::TxtUncPhase), c.eutPhase) << c.frequency << c.magnitude << c.phase;
        EXPECT_EQ(model.Module().Frequency, c.frequencyUsed);
        EXPECT_EQ(model.Module().Magnitude, c.magnitudeUsed);
        EXPECT_EQ(window.pointer, MousePointer::Default);
    }
}

TEST_F(WindowModelTest, InputsThatCannotBeEvaluatedKeepTheProgramAndTheInputs) {
    const struct {
        const char* frequency;
        const char* magnitude;
        const char* phase;
        std::int16_t option;
    } cases[] = {
        {"0.15", " 1E-15", " 0", 0},         // magnitude too small: log of 0
        {" 1E-170", " 39.26", " 54.85", 1},  // type 2: division by zero
    };
    for (const auto& c : cases) {
        model.Form_Load();
        window.UserClicksOption(c.option);
        model.PbCapture_Click();  // a result on screen first
        ASSERT_NE(Box(TextBox::TxtMaxUncertainty), "not valid");
        window.texts[TextBox::TxtFrequency] = c.frequency;
        window.texts[TextBox::TxtMagnitude] = c.magnitude;
        window.texts[TextBox::TxtPhase] = c.phase;
        const std::size_t before = window.calls.size();
        window.messages.clear();

        model.PbCapture_Click();

        const Calls expected = {
            "pointer busy",    "text TxtUncPhase=not valid", "text TxtMaxUncertainty=not valid", "pointer default",
            "message Quillet",
        };
        EXPECT_EQ(window.CallsSince(before), expected) << c.frequency << c.magnitude;
        ASSERT_EQ(window.messages.size(), 1u);
        EXPECT_EQ(window.messages[0].text, kCannotEvaluateMessage);
        EXPECT_EQ(Box(TextBox::TxtFrequency), c.frequency);
        EXPECT_EQ(Box(TextBox::TxtMagnitude), c.magnitude);
        EXPECT_EQ(Box(TextBox::TxtPhase), c.phase);
        EXPECT_EQ(model.Module().AnType, c.option + 1);

        // The program goes on: valid inputs calculate again.
        window.texts[TextBox::TxtFrequency] = "0.15";
        window.texts[TextBox::TxtMagnitude] = " 39.26";
        window.texts[TextBox::TxtPhase] = " 54.85";
        model.PbCapture_Click();
        EXPECT_NE(Box(TextBox::TxtMaxUncertainty), "not valid");
    }
}

}  // namespace
}  // namespace quillet
