// ShowPoint against the window model itself: the same texts typed into the
// boxes of a window, each box left, the type chosen and "Calculate" pressed.
#include "window/shown_point.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "engine/number_text.h"
#include "tests/window/recording_window.h"
#include "window/window_model.h"

namespace quillet {
namespace {

std::string Shortest(double value) {
    char buffer[32];
    return {buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr};
}

// Texts from every corner of what a box takes: plain and exponent numbers
// within and beyond the limits, zeros, radix prefixes, junk and blanks.
std::string RandomText(std::mt19937_64& random) {
    static const char* const kFixed[] = {"",         "0",     "-0",    "500000", "500000.001", "-360",
                                         "360.0004", "&H1F4", "&O777", "1e400",  "-1e-400",    "abc",
                                         " 12 3",    "1D3",   ".",     "-"};
    std::uniform_int_distribution<int> pick(0, 3);
    switch (pick(random)) {
    case 0: return kFixed[std::uniform_int_distribution<std::size_t>(0, std::size(kFixed) - 1)(random)];
    case 1: return Shortest(std::uniform_real_distribution<double>(-800, 800)(random));
    case 2: return Shortest(std::exp(std::uniform_real_distribution<double>(-40, 30)(random)));
    default: return std::to_string(std::uniform_int_distribution<int>(-1000, 600000)(random));
    }
}

TEST(ShowPoint, ShowsWhatTheWindowShows) {
    std::mt19937_64 random(16);
    testing::RecordingWindow window;
    WindowModel model(window);
    window.optionClicked = [&](std::int16_t i) { model.ChkLink_Click(i); };
    model.Form_Load();
    for (int i = 0; i < 20000; ++i) {
        const std::string f = RandomText(random), m = RandomText(random), p = RandomText(random);
        const auto type = static_cast<std::int16_t>(1 + i % 4);
        model.EnterPointAndCalculate(f, m, p, type);
        const ShownPoint shown = ShowPoint(f, m, p, type);
        const std::string typed = f + " | " + m + " | " + p + " type " + std::to_string(type);
        EXPECT_EQ(shown.boxes[0].text, window.Text(TextBox::TxtFrequency)) << typed;
        EXPECT_EQ(shown.boxes[1].text, window.Text(TextBox::TxtMagnitude)) << typed;
        EXPECT_EQ(shown.boxes[2].text, window.Text(TextBox::TxtPhase)) << typed;
        EXPECT_EQ(shown.results.deviationText, window.Text(TextBox::TxtMaxUncertainty)) << typed;
        EXPECT_EQ(shown.results.eutPhaseText, window.Text(TextBox::TxtUncPhase)) << typed;
        const Module34& used = model.Module();
        EXPECT_EQ(shown.used.frequencyMHz, used.Frequency) << typed;
        EXPECT_EQ(shown.used.magnitudeOhm, used.Magnitude) << typed;
        EXPECT_EQ(shown.used.phaseRadians, used.Phase) << typed;
        // A box shows a limit when left beyond it, and no other value is
        // clamped (a value within the limits keeps its 15 digits).
        const std::array<const EntryField*, 3> fields{&kFrequencyField, &kMagnitudeField, &kPhaseField};
        for (std::size_t box = 0; box < 3; ++box) {
            const EntryField& field = *fields[box];
            const double typedValue = shown.typed[box];
            const bool beyond = typedValue < field.lower || typedValue > field.upper;
            EXPECT_EQ(shown.boxes[box].clamped, beyond) << typed;
            if (!beyond) {
                EXPECT_EQ(shown.boxes[box].text, NumberText(typedValue)) << typed;
            }
        }
        if (shown.results.deviation) {
            EXPECT_EQ(*shown.results.shownDeviationDb, ParseNumber(shown.results.deviationText)) << typed;
            EXPECT_EQ(*shown.results.shownEutPhaseDegrees, ParseNumber(shown.results.eutPhaseText)) << typed;
        }
        if (::testing::Test::HasFailure())
            return;
    }
}

}  // namespace
}  // namespace quillet
