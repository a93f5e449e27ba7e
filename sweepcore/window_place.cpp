#include "sweepcore/window_place.h"

#include <algorithm>

namespace quillet::sweepcore {
namespace {

constexpr int kCascade = 28;  // a title bar's height and a little more
constexpr int kCascadeSteps = 6;
constexpr int kShortest = 400;   // the least height worth starting a window at
constexpr int kNarrowest = 560;  // narrower beside the calculator, and the table shows too few columns

}  // namespace

WindowPlace PlaceSweepWindow(const ScreenBox& available, const ScreenBox& calculator, const FrameMargins& frame,
                             int wantedWidth, int wantedHeight, int narrowest, int index) {
    const int frameWidth = frame.left + frame.right, frameHeight = frame.top + frame.bottom;
    const int rightRoom = available.Right() - calculator.Right() - kBesideGap;
    const int leftRoom = calculator.left - available.left - kBesideGap;
    narrowest = std::max(kNarrowest, narrowest);
    const int step = kCascade * (index % kCascadeSteps);
    WindowPlace place;
    place.top = std::max(available.top, std::min(calculator.top, available.Bottom() + 1 - kShortest)) + step;
    place.height = std::min(wantedHeight, available.Bottom() + 1 - place.top - frameHeight);
    if (std::max(rightRoom, leftRoom) >= narrowest + frameWidth) {
        place.width = std::min(wantedWidth, std::max(rightRoom, leftRoom) - frameWidth);
        place.left = rightRoom >= leftRoom ? calculator.Right() + 1 + kBesideGap
                                           : calculator.left - kBesideGap - place.width - frameWidth;
    } else {
        place.width = std::min(wantedWidth, available.width - frameWidth - step);
        place.left = available.Right() + 1 - place.width - frameWidth - step;
    }
    return place;
}

}  // namespace quillet::sweepcore
