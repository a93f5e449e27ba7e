// When a new sweep window appears: long enough after opening that a sample
// file is done before its window shows, short enough that a long one
// shows its progress at once. A window done sooner shows when done.
#pragma once

namespace quillet::sweepcore {

inline constexpr int kShowAfterMs = 250;

}  // namespace quillet::sweepcore
