// The object behind a window of ours: passed as the window's creation
// parameter, kept in its user data from WM_NCCREATE on, so each window
// procedure can hand a message to its object.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace quillet::win32 {

// The object for this message; nothing before WM_NCCREATE. At WM_NCCREATE
// the object's `window` member learns its handle.
template <class Self>
Self* WindowSelf(HWND hwnd, UINT message, LPARAM lParam, HWND Self::*window) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Self*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->*window = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return reinterpret_cast<Self*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace quillet::win32
