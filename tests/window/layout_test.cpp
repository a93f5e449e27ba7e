#include "window/layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quillet::layout {
namespace {

Rect OnWindow(const Control& control) {
    Rect r = control.place;
    if (!control.container.empty()) {
        const Rect frame = Find(control.container).place;
        r.left += frame.left;
        r.top += frame.top;
    }
    return r;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(Layout, EveryControlFitsItsContainerAndOverlapsOnlyWhereIntended) {
    std::set<std::string_view> seen;
    std::set<int> tabIndices;
    for (const Control& control : kControls) {
        EXPECT_TRUE(seen.insert(control.name).second) << control.name;
        EXPECT_TRUE(tabIndices.insert(control.tabIndex).second) << control.name;
        const int width = control.container.empty() ? kClientWidth : Find(control.container).place.width;
        const int height = control.container.empty() ? kClientHeight : Find(control.container).place.height;
        if (!control.container.empty()) {
            EXPECT_TRUE(seen.count(control.container)) << control.name << ": its frame must be made first";
            EXPECT_EQ(Find(control.container).kind, Kind::Frame);
        }
        EXPECT_GE(control.place.left, 0) << control.name;
        EXPECT_LE(control.place.left + control.place.width, width) << control.name;
        EXPECT_LE(control.place.top + control.place.height, height) << control.name;
    }
    // Only ChkLink(2), on the window, lies over a frame, and wholly inside it.
    for (const Control& a : kControls) {
        for (const Control& b : kControls) {
            if (&a >= &b || a.container != b.container)
                continue;
            const bool expected = (a.name == "Frame2" && b.name == "ChkLink(2)");
            EXPECT_EQ(Overlap(a.place, b.place), expected) << a.name << " and " << b.name;
        }
    }
    const Rect frame = Find("Frame2").place, option = OnWindow(Find("ChkLink(2)"));
    EXPECT_TRUE(option.left >= frame.left && option.top >= frame.top &&
                option.left + option.width <= frame.left + frame.width &&
                option.top + option.height <= frame.top + frame.height);
}

TEST(Layout, TabGoesThroughTheButtonsOptionsAndBoxesInOrder) {
    std::string order;
    for (const Control* control : TabOrder())
        order += std::string(control->name) + ' ';
    EXPECT_EQ(order,
              "PbCapture PbExit PbInfo ChkLink(0) ChkLink(1) TxtFrequency TxtMagnitude TxtPhase TxtMaxUncertainty "
              "TxtUncPhase ChkLink(2) ChkLink(3) ");
    EXPECT_EQ(OptionIndex("ChkLink(3)"), 3);
    EXPECT_EQ(OptionIndex("ChkLink(4)"), -1);
    EXPECT_EQ(OptionIndex("Label1"), -1);
    EXPECT_THROW(Find("Nothing"), std::out_of_range);
}

}  // namespace
}  // namespace quillet::layout
