// Window classes registered once per program: every window of a kind after
// the first finds its class already there.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace quillet::win32 {

// Registers the class unless a class of its name is registered already
// with its instance (cbSize is filled in here). Throws std::runtime_error
// naming `what` when Windows refuses it.
void RegisterClassOnce(WNDCLASSEXW windowClass, const char* what);

}  // namespace quillet::win32
