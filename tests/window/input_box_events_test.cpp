// The input boxes' events as a toolkit reports them, and the handlers the
// model runs for them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/window/recording_window.h"
#include "window/window_model.h"

namespace quillet {
namespace {

struct Case {
    const char* events;  // "focus F|M|P|R|-", "key F c", "click F"; R: a result box, -: a button
    std::vector<std::string> calls;
};

std::optional<TextBox> Control(char name) {
    switch (name) {
    case 'F': return TextBox::TxtFrequency;
    case 'M': return TextBox::TxtMagnitude;
    case 'P': return TextBox::TxtPhase;
    case 'R': return TextBox::TxtMaxUncertainty;
    default: return std::nullopt;
    }
}

TEST(InputBoxEvents, RunTheBoxHandlersOnMovesBetweenControls) {
    const std::string lostF = "text TxtFrequency= 5", invalid1 = "text TxtUncPhase=not valid",
                      invalid2 = "text TxtMaxUncertainty=not valid";
    const Case cases[] = {
        // Got focus empties the box; the same box again is no move.
        {"focus F;focus F", {"text TxtFrequency="}},
        // A key typed into a box that had not heard of the focus gets it first.
        {"key F 5;focus -", {"text TxtFrequency=", lostF, invalid1, invalid2}},
        // A move from box to box: lost focus, then got focus.
        {"key F 5;focus M", {"text TxtFrequency=", lostF, invalid1, invalid2, "text TxtMagnitude="}},
        // A result box raises nothing and is no box for the focus.
        {"key F 5;focus R;focus R", {"text TxtFrequency=", lostF, invalid1, invalid2}},
        // A click on the focused box empties it again; the keys stay.
        {"key F 5;click F;focus -", {"text TxtFrequency=", "text TxtFrequency=", lostF, invalid1, invalid2}},
        {"click P", {"text TxtPhase=", "text TxtPhase="}},
    };
    for (const Case& c : cases) {
        testing::RecordingWindow window;
        WindowModel model(window);
        std::istringstream events(c.events);
        for (std::string event; std::getline(events, event, ';');) {
            if (event.starts_with("focus "))
                model.FocusMovedTo(Control(event[6]));
            else if (event.starts_with("key "))
                model.KeyTyped(*Control(event[4]), static_cast<std::uint16_t>(event[6]));
            else if (event.starts_with("click "))
                model.BoxClicked(*Control(event[6]));
        }
        EXPECT_EQ(window.calls, c.calls) << c.events;
    }
}

TEST(InputBoxEvents, APointEnteredTakesOverTheTypedKeysFirst) {
    testing::RecordingWindow window;
    WindowModel model(window);
    window.optionClicked = [&](std::int16_t i) { model.ChkLink_Click(i); };
    model.Form_Load();
    model.KeyTyped(TextBox::TxtPhase, '7');
    model.EnterPointAndCalculate("0.15", "39.26", "54.85", 1);
    EXPECT_EQ(window.Text(TextBox::TxtPhase), " 54.85");
    EXPECT_EQ(window.Text(TextBox::TxtMaxUncertainty), " 3.61");
    // The keys went with the focus: leaving the box again keeps its text.
    model.FocusMovedTo(TextBox::TxtPhase);
    window.SetText(TextBox::TxtPhase, "12");
    model.FocusMovedTo(std::nullopt);
    EXPECT_EQ(window.Text(TextBox::TxtPhase), " 12");
}

}  // namespace
}  // namespace quillet
