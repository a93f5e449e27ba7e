// Recording the sweep on show in the register open in the register window:
// the record dialog over the sweep window, then the register's lists read
// again.
#pragma once

#include "registerwin/register_window.h"
#include "sweepwin/sweep_window.h"

namespace quillet::app {

// Says over the register window when no register is open; anything that
// keeps the record from being written is told over the sweep window.
void RecordFromSweepWindow(const sweepwin::SweepWindow& window, registerwin::RegisterWindow& registerWindow);

}  // namespace quillet::app
