// Top-level windows kept wholly on the available area of their screen (the
// screen without its panels), frame and title bar included, so every one
// can be seen and dragged.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace quillet::app {

// The frame the window manager puts around a window: known once the window
// is shown and framed; until then that of `framed`, a window already shown,
// or a usual one.
QMargins FrameMargins(const QWidget& window, const QWidget* framed = nullptr);

// Moves the window, and makes it smaller if it must, so that its frame
// lies inside `available`; a window already inside stays where it is.
void KeepOnScreen(QWidget& window, const QRect& available, QMargins frame);

// Does the same once the window manager has framed the window, and again
// whenever the window is shown; for windows placed before they were shown.
void KeepOnScreenWhenShown(QWidget& window);

}  // namespace quillet::app
