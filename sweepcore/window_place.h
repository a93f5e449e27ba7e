// Where a new sweep window goes beside the calculator, in screen pixels and
// without a toolkit, so every build places its windows by the same rule.
#pragma once

namespace quillet::sweepcore {

// A rectangle as screens count: right and bottom are the last pixels in it.
struct ScreenBox {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width - 1; }
    int Bottom() const { return top + height - 1; }
};

// What the window manager adds around a window's inside.
struct FrameMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Between the calculator's frame and a window beside it.
inline constexpr int kBesideGap = 8;

// The frame's top-left corner and the inside's size.
struct WindowPlace {
    int left = 0, top = 0, width = 0, height = 0;
};

// Beside the calculator, on the side with more room, while that room is
// wide enough for the table (`narrowest`, the window's least useful
// width); otherwise, where the screen has no room for both, at the
// screen's free edge over it. The `index`-th window opened sits a step
// lower than the one before, so every title bar shows. `available` is the
// calculator's screen without its panels; `calculator` its frame.
WindowPlace PlaceSweepWindow(const ScreenBox& available, const ScreenBox& calculator, const FrameMargins& frame,
                             int wantedWidth, int wantedHeight, int narrowest, int index);

}  // namespace quillet::sweepcore
