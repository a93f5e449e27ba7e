// Recording the sweep on show in the verification register, until the
// program has a register window of its own: the register remembered, or
// the usual one, opened for writing, and the record dialog over the sweep
// window.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "sweepwin/sweep_window.h"

namespace quillet::app {

// Anything that keeps the register from opening is told over the window.
void RecordFromSweepWindow(const sweepwin::SweepWindow& window);
// File > Verification register…: for now, that it is coming.
void ShowRegisterWindow(HWND owner);

}  // namespace quillet::app
