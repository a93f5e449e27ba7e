// A window of our own run as a modal dialog over its owner: the owner waits
// (disabled), the dialog keys (Tab, Enter, Esc, access keys) work, and a
// quit asked for meanwhile reaches the program's own loop afterwards.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>

namespace quillet::win32 {

// Shows the window with focus on `focus` (none: the window decides) and
// runs messages until `done` is set or the program quits. beforeClose reads
// the controls while they are still there. Then the owner comes back before
// the window is destroyed, so it is the one activated.
void RunModal(HWND window, HWND owner, HWND focus, const bool& done, const std::function<void()>& beforeClose = {});

}  // namespace quillet::win32
