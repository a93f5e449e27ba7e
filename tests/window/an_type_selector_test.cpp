#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/window/recording_window.h"
#include "window/window_model.h"

namespace quillet {
namespace {

using testing::RecordingWindow;

class AnTypeSelectorTest : public ::testing::Test {
protected:
    AnTypeSelectorTest() {
        window.optionClicked = [this](std::int16_t i) { model.ChkLink_Click(i); };
        model.Form_Load();
    }

    void ShowResult() {
        window.texts[TextBox::TxtMaxUncertainty] = " 3.61";
        window.texts[TextBox::TxtUncPhase] = " 268.14";
    }

    long Invalidations() const {
        return std::count(window.calls.begin(), window.calls.end(), "text TxtUncPhase=not valid");
    }

    std::array<bool, 4> Only(int index) const {
        std::array<bool, 4> options{};
        options[static_cast<std::size_t>(index)] = true;
        return options;
    }

    RecordingWindow window;
    WindowModel model{window};
};

TEST_F(AnTypeSelectorTest, EveryChangeOfTypeInvalidatesOnceAndNoOtherDoes) {
    for (int from = 0; from < 4; ++from) {
        for (int to = 0; to < 4; ++to) {
            window.UserClicksOption(from);
            ShowResult();
            const long before = Invalidations();
            window.UserClicksOption(to);
            EXPECT_EQ(window.options, Only(to)) << from << " -> " << to;
            EXPECT_EQ(model.Module().AnType, to + 1) << from << " -> " << to;
            EXPECT_EQ(Invalidations() - before, from == to ? 0 : 1) << from << " -> " << to;
            EXPECT_EQ(window.Text(TextBox::TxtMaxUncertainty), from == to ? " 3.61" : "not valid");
        }
    }
}

TEST_F(AnTypeSelectorTest, KeepsTheOptionsOfTwoContainersExclusive) {
    // The toolkit leaves ChkLink(0) selected when ChkLink(2), on the window,
    // is clicked; the handler still ends with ChkLink(2) alone.
    window.UserClicksOption(2);
    EXPECT_EQ(window.options, Only(2));
    EXPECT_EQ(model.Module().AnType, 3);
    // And the frame's ChkLink(3) leaves ChkLink(2) selected.
    window.UserClicksOption(3);
    EXPECT_EQ(window.options, Only(3));
    EXPECT_EQ(model.Module().AnType, 4);
}

TEST_F(AnTypeSelectorTest, SelectsThenTestsThenClearsTheOthers) {
    // From type 1 to 3, then to 4; each step as one sequence of calls.
    const std::pair<int, const char*> steps[] = {{2, "0 1 3"}, {3, "0 1 2"}};
    for (const auto& [option, others] : steps) {
        std::vector<std::string> expected = {"user clicks option " + std::to_string(option),
                                             "option " + std::to_string(option) + "=1"};
        auto clearOthers = [&, others = std::string(others)] {
            for (char other : others)
                if (other != ' ')
                    expected.push_back(std::string("option ") + other + "=0");
        };
        clearOthers();
        expected.push_back("text TxtUncPhase=not valid");
        expected.push_back("text TxtMaxUncertainty=not valid");
        clearOthers();
        const std::size_t before = window.calls.size();
        window.UserClicksOption(option);
        EXPECT_EQ(window.CallsSince(before), expected) << option;
    }
}

TEST_F(AnTypeSelectorTest, OldSelectionLeftTrueElsewhereDoesNotWinTheType) {
    // Without step one the first true option in the order 0, 1, 2 would win.
    for (int stale : {0, 1}) {
        window.UserClicksOption(stale);
        window.options = {stale == 0, stale == 1, true, false};
        model.ChkLink_Click(2);
        EXPECT_EQ(window.options, Only(2));
        EXPECT_EQ(model.Module().AnType, 3);
    }
}

TEST_F(AnTypeSelectorTest, ReclickingTheSelectedOptionKeepsTheResult) {
    window.UserClicksOption(1);
    ShowResult();
    model.ChkLink_Click(1);  // a toolkit that raises the click again
    window.UserClicksOption(1);
    EXPECT_EQ(window.Text(TextBox::TxtMaxUncertainty), " 3.61");
    EXPECT_EQ(window.Text(TextBox::TxtUncPhase), " 268.14");
    EXPECT_EQ(window.options, Only(1));
}

TEST_F(AnTypeSelectorTest, OneToFourToOneInvalidatesTwice) {
    ShowResult();
    const long before = Invalidations();
    window.UserClicksOption(3);
    window.UserClicksOption(0);
    EXPECT_EQ(Invalidations() - before, 2);
    EXPECT_EQ(model.Module().AnType, 1);
}

TEST_F(AnTypeSelectorTest, ChangesNoInputAndNoOtherValue) {
    const auto texts = window.texts;
    const Module34 before = model.Module();
    window.UserClicksOption(2);
    for (TextBox box : {TextBox::TxtFrequency, TextBox::TxtMagnitude, TextBox::TxtPhase})
        EXPECT_EQ(window.Text(box), texts.at(box));
    EXPECT_EQ(model.Module().Frequency, before.Frequency);
    EXPECT_EQ(model.Module().Magnitude, before.Magnitude);
    EXPECT_EQ(model.Module().Phase, before.Phase);
    // The next calculation uses the new type with the inputs on screen.
    model.PbCapture_Click();
    EXPECT_EQ(window.Text(TextBox::TxtMaxUncertainty), " 22.4");
    EXPECT_EQ(window.Text(TextBox::TxtUncPhase), " 270.44");
}

}  // namespace
}  // namespace quillet
