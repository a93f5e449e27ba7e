// The DPI a window is shown at, and pixels scaled to it, for every window
// of the Windows build.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace quillet::win32 {

// A function of newer Windows versions, looked up so that the programs
// still start on older ones; nullptr where it is missing.
template <class Function>
Function User32(const char* name) {
    const FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

UINT DpiOf(HWND window);
// Pixels at 96 DPI to pixels at `dpi`.
int Scale(int pixels, UINT dpi);

}  // namespace quillet::win32
