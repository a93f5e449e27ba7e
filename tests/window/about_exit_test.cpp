#include "window/about_exit.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/window/recording_window.h"
#include "window/window_model.h"

namespace quillet {
namespace {

using testing::RecordingWindow;

class AboutExitTest : public ::testing::Test {
protected:
    AboutExitTest() {
        window.optionClicked = [this](std::int16_t i) { model.ChkLink_Click(i); };
        model.Form_Load();
        model.PbCapture_Click();
        window.calls.clear();
    }
    RecordingWindow window;
    WindowModel model{window};
};

TEST_F(AboutExitTest, AboutShowsTheExplanationEveryTime) {
    const char* lines[] = {
        "After entering the impedance data (frequency,",   "magnitude and phase) of the artifical network",
        "(AN) and pressing ''Calculate'', the software",   "will return the maximum deviation (dB) of the",
        "measured voltage level from the reference vol-",  "tage level. When using an AN together with a ",
        "measuring receiver, the reference voltage level", "will be measured for any EUT source impedance",
        "if the AN impedance agrees with the nominal",     "impedance.The magnitude of the EUT reflection",
        "coefficient will approach 1. As it is not easy",  "to predict the phase for the maximum deviation,",
        "the phase is shown as the second result.",
    };
    std::string expected;
    for (const char* line : lines)
        expected += std::string(line) + "\r\n";
    expected += "\r\n\r\nQuillet";

    const auto textsBefore = window.texts;
    for (int press = 0; press < 3; ++press)
        model.PbInfo_Click();
    ASSERT_EQ(window.messages.size(), 3u);
    for (const auto& message : window.messages) {
        EXPECT_EQ(message.text, expected);
        EXPECT_EQ(message.title, "Quillet");
    }
    EXPECT_EQ(window.texts, textsBefore);
    EXPECT_EQ(window.calls, (std::vector<std::string>(3, "message Quillet")));
}

TEST_F(AboutExitTest, ExitUnloadsOnceAndTouchesNothing) {
    const auto textsBefore = window.texts;
    const double phase = model.Module().Phase;
    model.PbExit_Click();
    EXPECT_EQ(window.unloads, 1);
    EXPECT_EQ(window.calls, std::vector<std::string>{"unload"});
    EXPECT_EQ(window.texts, textsBefore);
    EXPECT_EQ(model.Module().Phase, phase);
    EXPECT_EQ(model.Module().AnType, 1);
}

}  // namespace
}  // namespace quillet
